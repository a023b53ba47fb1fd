#include "ControlCharacters.h"

#include <QStringList>

#include <algorithm>

namespace pellora {
namespace {

constexpr char16_t lineSeparator = 0x2028;
constexpr char16_t paragraphSeparator = 0x2029;
constexpr char16_t nextLine = 0x85;

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

bool isUnsafe(QChar c)
{
    return isControl(c.unicode()) || c.unicode() == lineSeparator || c.unicode() == paragraphSeparator;
}

} // namespace

QString terminalText(QStringView text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return isUnsafe(c) && c != u'\t'; }))
        return text.toString();
    QString result;
    result.reserve(text.size() + 16);
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (isControl(code) && code != u'\t')
            result += QStringLiteral("\\x%1").arg(code, 2, 16, QChar(u'0'));
        else if (code == lineSeparator || code == paragraphSeparator)
            result += QStringLiteral("\\u%1").arg(code, 4, 16);
        else
            result += c;
    }
    return result;
}

QString labelText(QStringView text)
{
    if (std::none_of(text.begin(), text.end(), isUnsafe))
        return text.toString();
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        const bool spacing =
            (code >= u'\t' && code <= u'\r') || code == nextLine || code == lineSeparator || code == paragraphSeparator;
        if (spacing)
            result += u' ';
        else if (!isControl(code))
            result += c;
    }
    return result;
}

QString labelLines(QStringView text)
{
    QStringList lines;
    for (QStringView line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(labelText(line));
    }
    return lines.join(u'\n');
}

} // namespace pellora
