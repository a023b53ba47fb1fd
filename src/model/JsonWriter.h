#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QStringView>

#include <optional>

namespace pellora {

// A JSON string literal (quotes included) in UTF-8. Control characters are escaped; with escapeSlash
// "/" is written "\/", as some encoders do by default.
QByteArray jsonQuoted(QStringView text, bool escapeSlash = false);

// Compact JSON object whose members keep the order they were added in (QJsonObject sorts its keys).
class JsonObjectWriter {
public:
    explicit JsonObjectWriter(bool escapeSlash = false) : m_escapeSlash(escapeSlash) {}

    JsonObjectWriter& add(QLatin1StringView key, QStringView value);
    JsonObjectWriter& add(QLatin1StringView key, const QString& value) { return add(key, QStringView(value)); }
    JsonObjectWriter& add(QLatin1StringView key, qint64 value);
    JsonObjectWriter& add(QLatin1StringView key, int value) { return add(key, qint64(value)); }
    JsonObjectWriter& add(QLatin1StringView key, const std::optional<QString>& value);
    JsonObjectWriter& add(QLatin1StringView key, const std::optional<qint64>& value);
    JsonObjectWriter& addNull(QLatin1StringView key);
    // value must already be JSON text.
    JsonObjectWriter& addRaw(QLatin1StringView key, const QByteArray& value);

    QByteArray toJson() const { return m_body + '}'; }

private:
    void addKey(QLatin1StringView key);

    bool m_escapeSlash;
    QByteArray m_body{"{"};
};

// Compact JSON array of already-encoded elements.
QByteArray jsonArray(const QList<QByteArray>& elements);

} // namespace pellora
