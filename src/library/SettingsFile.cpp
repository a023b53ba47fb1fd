#include "SettingsFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace pellora {
namespace {

// A stored value that is not plain text, kept as it stands in the file so that writing the file loses nothing.
struct UnreadValue {
    QByteArray text;
};

int digitValue(char c, int base)
{
    const int value = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : 99;
    return value < base ? value : -1;
}

// ---- Reading: the syntax of Qt's INI files, without its decoding of typed values ----

struct IniLine {
    QByteArrayView text;
    qsizetype equals = -1; // the first '=' outside quotes, within text
};

// The next line: a section, a key and its value, or nothing (a comment). Quotes may hold line breaks and
// ';', a backslash escapes the next character, and ';' outside quotes starts a comment.
IniLine nextLine(QByteArrayView data, qsizetype& pos)
{
    while (pos < data.size() && (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\n' || data[pos] == '\r'))
        ++pos;
    const qsizetype start = pos;
    bool inQuotes = false;
    IniLine line;
    if (pos < data.size() && data[pos] == ';') {
        while (pos < data.size() && data[pos] != '\n' && data[pos] != '\r')
            ++pos;
        return line;
    }
    while (pos < data.size()) {
        const char c = data[pos];
        if (!inQuotes && (c == '\n' || c == '\r' || c == ';'))
            break;
        ++pos;
        if (c == '=' && !inQuotes && line.equals < 0) {
            line.equals = pos - 1 - start;
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == '\\' && pos < data.size()) {
            const char next = data[pos++];
            if (pos < data.size() && ((next == '\n' && data[pos] == '\r') || (next == '\r' && data[pos] == '\n')))
                ++pos;
        }
    }
    line.text = data.sliced(start, pos - start);
    return line;
}

// Keys and section names: %XX and %UXXXX are characters, a backslash is a slash.
QString unescapedKey(QByteArrayView key)
{
    const QString decoded = QString::fromUtf8(key);
    QString result;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded.at(i);
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (c == u'%' && i + 1 < decoded.size()) {
            const qsizetype digits = decoded.at(i + 1) == u'U' ? 4 : 2;
            const qsizetype first = i + (digits == 4 ? 2 : 1);
            bool ok = false;
            const ushort code =
                first + digits <= decoded.size() ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16) : 0;
            if (ok) {
                result += QChar(code);
                i = first + digits;
                continue;
            }
        }
        result += c;
        ++i;
    }
    return result;
}

// A value's text: quotes group, backslash escapes (C's, \xHEX and octal), blanks around it are trimmed
// unless quoted or escaped. A comma outside quotes makes a list: no text.
std::optional<QString> unescapedText(QByteArrayView raw)
{
    static constexpr std::pair<char, char16_t> named[] = {{'a', u'\a'}, {'b', u'\b'},  {'f', u'\f'}, {'n', u'\n'},
                                                          {'r', u'\r'}, {'t', u'\t'},  {'v', u'\v'}, {'"', u'"'},
                                                          {'?', u'?'},  {'\'', u'\''}, {'\\', u'\\'}};
    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8);
    bool inQuotes = false;
    bool quoted = false;
    qsizetype i = 0;
    qsizetype kept = 0; // trailing blanks before this length came from escapes or quotes and stay
    const auto skipBlanks = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        kept = text.size();
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i == raw.size())
                return text;
            const char escaped = raw[i++];
            const auto match = std::find_if(std::begin(named), std::end(named),
                                            [escaped](const auto& pair) { return pair.first == escaped; });
            const int base = escaped == 'x' ? 16 : digitValue(escaped, 8) >= 0 ? 8 : 0;
            if (match != std::end(named)) {
                text += QChar(match->second);
            } else if (base) {
                bool any = base == 8;
                char16_t code = base == 8 ? char16_t(digitValue(escaped, 8)) : 0;
                for (int digit; i < raw.size() && (digit = digitValue(raw[i], base)) >= 0; ++i, any = true)
                    code = char16_t(code * base + digit);
                if (any)
                    text += QChar(code);
            } else if ((escaped == '\n' || escaped == '\r') && i < raw.size() && (raw[i] == '\n' || raw[i] == '\r') &&
                       raw[i] != escaped) {
                ++i; // an escaped line break is a continuation; any other escaped character is dropped
            }
            kept = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            return std::nullopt;
        } else {
            qsizetype end = i + 1;
            while (end < raw.size() && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',')
                ++end;
            text += utf8(raw.sliced(i, end - i));
            i = end;
        }
    }
    if (!quoted) {
        while (text.size() > kept && (text.back() == u' ' || text.back() == u'\t'))
            text.chop(1);
    }
    return text;
}

// Text stays text ("@@" is an escaped '@', "@String(...)" a text holding NUL); anything typed is kept unread.
QVariant storedValue(QByteArrayView raw)
{
    if (const std::optional<QString> text = unescapedText(raw)) {
        if (!text->startsWith(u'@'))
            return *text;
        if (text->startsWith(u"@@"))
            return text->sliced(1);
        if (text->startsWith(u"@String(") && text->endsWith(u')'))
            return text->sliced(8).chopped(1);
    }
    return QVariant::fromValue(UnreadValue{raw.toByteArray()});
}

bool readIni(QIODevice& device, QSettings::SettingsMap& map)
{
    const QByteArray bytes = device.readAll();
    QByteArrayView data = bytes;
    if (data.startsWith("\xef\xbb\xbf"))
        data = data.sliced(3);
    QString section; // empty, or the section's name and a slash
    for (qsizetype pos = 0; pos < data.size();) {
        const IniLine line = nextLine(data, pos);
        if (line.text.startsWith('[')) {
            const qsizetype close = line.text.indexOf(']');
            const QByteArrayView name = line.text.sliced(1, (close < 0 ? line.text.size() : close) - 1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.sliced(1)) + u'/';
            else
                section = unescapedKey(name) + u'/';
        } else if (line.equals >= 0) {
            map.insert(section + unescapedKey(line.text.first(line.equals).trimmed()),
                       storedValue(line.text.sliced(line.equals + 1)));
        }
    }
    return true; // like Qt, a line that makes no sense is skipped and the rest still read
}

// ---- Writing: byte for byte what Qt writes for a text ----

void appendKey(QByteArray& out, QStringView key)
{
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-' ||
                   c == '.') {
            out += char(c);
        } else {
            out += c <= 0xff ? "%" : "%U";
            out += QByteArray::number(c, 16).toUpper().rightJustified(c <= 0xff ? 2 : 4, '0');
        }
    }
}

void appendText(QByteArray& out, QStringView text)
{
    static constexpr std::pair<char16_t, const char*> named[] = {{u'\a', "\\a"}, {u'\b', "\\b"}, {u'\f', "\\f"},
                                                                 {u'\n', "\\n"}, {u'\r', "\\r"}, {u'\t', "\\t"},
                                                                 {u'\v', "\\v"}, {u'"', "\\\""}, {u'\\', "\\\\"}};
    const qsizetype start = out.size();
    bool quote = false;
    bool escapeHexDigit = false; // after \0 or \xN a hex digit would extend the escape: escape it too
    QStringEncoder utf8(QStringEncoder::Utf8);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        quote = quote || c == u';' || c == u',' || c == u'=';
        if (escapeHexDigit && c < 0x80 && digitValue(char(c), 16) >= 0) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        const auto match =
            std::find_if(std::begin(named), std::end(named), [c](const auto& pair) { return pair.first == c; });
        if (match != std::end(named)) {
            out += match->second;
        } else if (c < 0x20) {
            out += c == 0 ? QByteArray("\\0") : "\\x" + QByteArray::number(c, 16);
            escapeHexDigit = true;
        } else {
            out += QByteArray(utf8(QStringView(&qc, 1)));
        }
    }
    if (quote || (out.size() > start && (out.at(start) == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

// The program stores texts and booleans; a text holding NUL or starting with '@' is marked as Qt marks it.
QString storedText(const QString& text)
{
    if (text.contains(QChar::Null))
        return QStringLiteral("@String(") + text + u')';
    return text.startsWith(u'@') ? u'@' + text : text;
}

// Sections in name order, the general one first, keys in name order: the order Qt writes a new file in.
bool writeIni(QIODevice& device, const QSettings::SettingsMap& map)
{
    QMap<QString, QList<std::pair<QString, QVariant>>> sections;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        sections[it.key().left(std::max<qsizetype>(slash, 0))].append({it.key().sliced(slash + 1), it.value()});
    }
    QByteArray out;
    for (auto section = sections.begin(); section != sections.end(); ++section) {
        if (!out.isEmpty())
            out += '\n';
        QByteArray name;
        appendKey(name, section.key());
        if (name.isEmpty())
            out += "[General]";
        else
            out += name.compare("general", Qt::CaseInsensitive) == 0 ? QByteArray("[%General]") : '[' + name + ']';
        out += '\n';
        for (const auto& [key, value] : section.value()) {
            appendKey(out, key);
            out += '=';
            if (value.metaType() == QMetaType::fromType<UnreadValue>())
                out += value.value<UnreadValue>().text;
            else
                appendText(out, storedText(value.toString()));
            out += '\n';
        }
    }
    return device.write(out) == out.size();
}

} // namespace

std::unique_ptr<QSettings> openSettings()
{
    return openSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                        QCoreApplication::organizationName() + u'/' + QCoreApplication::applicationName() +
                        QStringLiteral(".conf"));
}

std::unique_ptr<QSettings> openSettings(const QString& path)
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readIni, writeIni, Qt::CaseSensitive);
    struct stat status {};
    const bool usable =
        ::stat(QFile::encodeName(path).constData(), &status) == 0 ? S_ISREG(status.st_mode) : errno == ENOENT;
    if (usable)
        return std::make_unique<QSettings>(path, format);
    // Nothing can be read from or created under a device: every write fails quietly and assigned values
    // stay in memory.
    return std::make_unique<QSettings>(QStringLiteral("/dev/null/Pellora.conf"), format);
}

} // namespace pellora
