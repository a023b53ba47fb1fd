#include "JsonWriter.h"

#include <QList>
#include <QString>

namespace pellora {

QByteArray jsonQuoted(QStringView text, bool escapeSlash)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += escapeSlash ? "\\/" : "/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[(c >> 4) & 0xf];
                out += hex[c & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

void JsonObjectWriter::addKey(QLatin1StringView key)
{
    if (m_body.size() > 1)
        m_body += ',';
    m_body += jsonQuoted(QString(key), m_escapeSlash);
    m_body += ':';
}

JsonObjectWriter& JsonObjectWriter::add(QLatin1StringView key, QStringView value)
{
    addKey(key);
    m_body += jsonQuoted(value, m_escapeSlash);
    return *this;
}

JsonObjectWriter& JsonObjectWriter::add(QLatin1StringView key, qint64 value)
{
    addKey(key);
    m_body += QByteArray::number(value);
    return *this;
}

JsonObjectWriter& JsonObjectWriter::add(QLatin1StringView key, const std::optional<QString>& value)
{
    return value ? add(key, QStringView(*value)) : addNull(key);
}

JsonObjectWriter& JsonObjectWriter::add(QLatin1StringView key, const std::optional<qint64>& value)
{
    return value ? add(key, *value) : addNull(key);
}

JsonObjectWriter& JsonObjectWriter::addNull(QLatin1StringView key)
{
    addKey(key);
    m_body += "null";
    return *this;
}

JsonObjectWriter& JsonObjectWriter::addRaw(QLatin1StringView key, const QByteArray& value)
{
    addKey(key);
    m_body += value;
    return *this;
}

QByteArray jsonArray(const QList<QByteArray>& elements)
{
    QByteArray out("[");
    for (qsizetype i = 0; i < elements.size(); ++i) {
        if (i > 0)
            out += ',';
        out += elements[i];
    }
    return out + ']';
}

} // namespace pellora
