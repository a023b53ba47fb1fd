#include "RolePackCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <optional>

namespace pellora {
namespace {

using namespace Qt::StringLiterals;

// Where in the document a value sits; turned into text only when an error is reported.
struct KeyPath {
    qsizetype role = -1;
    qsizetype event = -1;
    QLatin1StringView key;

    QString text() const
    {
        QString path;
        if (role >= 0)
            path = QStringLiteral("roles[%1]").arg(role);
        if (event >= 0)
            path += QStringLiteral(".events[%1]").arg(event);
        if (!key.isEmpty()) {
            if (!path.isEmpty())
                path += u'.';
            path += key;
        }
        return path.isEmpty() ? QStringLiteral("(root)") : path;
    }
};

QString describe(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("the number %1").arg(value.toDouble());
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

// The integer a JSON number literal denotes, exactly, when it is one within 64 bits: "4.0" and "4e0" are 4,
// "4.5" and "-9223372036854775809" are none. Judged on the digits, so no rounding can move a number into range.
std::optional<qint64> exactInteger(QByteArrayView literal)
{
    const bool negative = literal.startsWith('-');
    if (negative)
        literal = literal.sliced(1);
    qsizetype exponentAt = literal.indexOf('e');
    if (exponentAt < 0)
        exponentAt = literal.indexOf('E');
    const QByteArrayView mantissa = exponentAt < 0 ? literal : literal.first(exponentAt);
    if (mantissa.isEmpty())
        return std::nullopt; // no literal found
    qint64 exponent = 0;
    if (exponentAt >= 0) {
        QByteArrayView digits = literal.sliced(exponentAt + 1);
        const bool below = digits.startsWith('-');
        if (below || digits.startsWith('+'))
            digits = digits.sliced(1);
        for (const char digit : digits)
            exponent = std::min<qint64>(exponent * 10 + (digit - '0'), 1'000'000); // far beyond any 64-bit value
        if (below)
            exponent = -exponent;
    }
    // The significant digits, without the point, leading and trailing zeros; trailing zeros raise the exponent.
    const qsizetype point = mantissa.indexOf('.');
    if (point >= 0)
        exponent -= mantissa.size() - point - 1;
    QByteArray digits;
    for (const char c : mantissa) {
        if (c != '.' && (c != '0' || !digits.isEmpty()))
            digits += c;
    }
    while (digits.endsWith('0')) {
        digits.chop(1);
        ++exponent;
    }
    if (digits.isEmpty())
        return 0;
    if (exponent < 0 || digits.size() + exponent > 19)
        return std::nullopt; // a fraction, or more digits than 2^63 has
    quint64 magnitude = 0;   // at most 19 digits: below 2^64
    for (const char digit : digits)
        magnitude = magnitude * 10 + quint64(digit - '0');
    for (qint64 i = 0; i < exponent; ++i)
        magnitude *= 10;
    const quint64 limit = negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    if (magnitude > limit)
        return std::nullopt;
    return negative ? qint64(0 - magnitude) : qint64(magnitude);
}

// The text of every roles[i].events[j].energy number in a document Qt's parser has accepted. Where a key
// repeats, the one written last counts, as it does for the parser.
class EnergyLiterals {
public:
    explicit EnergyLiterals(QByteArrayView json) : m_json(json)
    {
        if (m_json.startsWith("\xef\xbb\xbf"))
            m_pos = 3;
        skipBlanks();
        walk(0);
    }

    QByteArrayView at(qsizetype role, qsizetype event) const { return m_found.value({role, event}); }

private:
    // Depths 0 to 4 are the document, roles, a role, its events, an event; depth 5 is an energy value.
    void walk(int depth)
    {
        const char first = peek();
        const bool object = first == '{';
        if (depth == 5 && (first == '-' || (first >= '0' && first <= '9'))) {
            const qsizetype start = m_pos;
            skipValue();
            m_found.insert({m_role, m_event}, m_json.sliced(start, m_pos - start));
            return;
        }
        if (depth == 5 || (!object && first != '[') || object != (depth % 2 == 0)) {
            skipValue();
            return;
        }
        ++m_pos;
        skipBlanks();
        for (qsizetype index = 0; m_pos < m_json.size() && peek() != (object ? '}' : ']'); ++index) {
            bool wanted = true;
            if (object)
                wanted = key() == (depth == 0 ? "roles" : depth == 2 ? "events" : "energy");
            else
                (depth == 1 ? m_role : m_event) = index;
            if (wanted)
                walk(depth + 1);
            else
                skipValue();
            skipBlanks();
            if (peek() == ',') {
                ++m_pos;
                skipBlanks();
            }
        }
        ++m_pos;
    }

    // Reads a member's name and the colon after it; an escaped name ("\u0065nergy") is decoded as the parser does.
    QByteArray key()
    {
        const qsizetype start = m_pos;
        skipString();
        const QByteArrayView quoted = m_json.sliced(start, m_pos - start);
        skipBlanks();
        ++m_pos;
        skipBlanks();
        if (!quoted.contains('\\'))
            return quoted.sliced(1, quoted.size() - 2).toByteArray();
        return QJsonDocument::fromJson("[" + quoted.toByteArray() + "]").array().at(0).toString().toUtf8();
    }

    char peek() const { return m_pos < m_json.size() ? m_json[m_pos] : '\0'; }

    void skipBlanks()
    {
        while (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')
            ++m_pos;
    }

    void skipString()
    {
        for (++m_pos; m_pos < m_json.size() && m_json[m_pos] != '"'; ++m_pos) {
            if (m_json[m_pos] == '\\')
                ++m_pos;
        }
        ++m_pos;
    }

    void skipValue()
    {
        int depth = 0;
        do {
            const char c = peek();
            if (c == '"') {
                skipString();
                continue;
            }
            if (depth == 0 && c != '{' && c != '[') { // a number or a literal
                while (m_pos < m_json.size() && !QByteArrayView(",]} \t\n\r").contains(m_json[m_pos]))
                    ++m_pos;
                return;
            }
            depth += c == '{' || c == '[' ? 1 : c == '}' || c == ']' ? -1 : 0;
            ++m_pos;
        } while (depth > 0 && m_pos < m_json.size());
    }

    QByteArrayView m_json;
    qsizetype m_pos = 0;
    qsizetype m_role = -1;
    qsizetype m_event = -1;
    QHash<std::pair<qsizetype, qsizetype>, QByteArrayView> m_found;
};

class Decoder {
public:
    explicit Decoder(QByteArrayView json) : m_json(json) {}

    QString error;

    bool fail(const KeyPath& path, const QString& reason)
    {
        error = path.text() + QStringLiteral(": ") + reason;
        return false;
    }

    // A value of the wrong type: "expected <what>, found <the value>".
    bool unexpected(const KeyPath& path, QLatin1StringView what, const QJsonValue& found)
    {
        return fail(path, u"expected "_s + what + u", found "_s + describe(found));
    }

    // A member that may be left out, or null.
    static bool absent(const QJsonValue& value) { return value.isUndefined() || value.isNull(); }

    bool required(const QJsonObject& object, KeyPath path, QJsonValue& out)
    {
        const auto it = object.constFind(path.key);
        if (it == object.constEnd())
            return fail(path, QStringLiteral("missing"));
        out = it.value();
        return true;
    }

    bool text(const QJsonObject& object, KeyPath path, QString& out)
    {
        QJsonValue value;
        if (!required(object, path, value))
            return false;
        if (!value.isString())
            return unexpected(path, "a string"_L1, value);
        out = value.toString();
        return true;
    }

    bool optionalText(const QJsonObject& object, KeyPath path, std::optional<QString>& out)
    {
        const QJsonValue value = object.value(path.key);
        if (!absent(value) && !value.isString())
            return unexpected(path, "a string or null"_L1, value);
        out = absent(value) ? std::nullopt : std::optional(value.toString());
        return true;
    }

    bool optionalInteger(const QJsonObject& object, KeyPath path, std::optional<qint64>& out)
    {
        const QJsonValue value = object.value(path.key);
        if (absent(value)) {
            out.reset();
            return true;
        }
        const auto refuse = [&](const QString& found) {
            return fail(path, QStringLiteral("expected an integer or null, found ") + found);
        };
        if (!value.isDouble())
            return refuse(describe(value));
        // Below 2^53 the parsed number is the literal's own integer whenever there is one. Beyond, the parser
        // may have rounded it (-9223372036854775809 arrives as -2^63): the literal's digits decide.
        if (std::abs(value.toDouble()) < 0x1p53) {
            // toInteger answers its default for anything that is not a whole number, so two defaults tell.
            if (value.toInteger(0) != value.toInteger(1))
                return refuse(describe(value));
            out = value.toInteger();
            return true;
        }
        if (!m_energies)
            m_energies.emplace(m_json);
        const QByteArrayView literal = m_energies->at(path.role, path.event);
        const std::optional<qint64> exact = exactInteger(literal);
        if (!exact)
            return refuse(!literal.isEmpty() && literal.size() <= 32 ? u"the number "_s + QString::fromLatin1(literal)
                                                                     : describe(value));
        out = *exact;
        return true;
    }

    bool event(const QJsonValue& value, KeyPath at, RoleEvent& out)
    {
        if (!value.isObject())
            return unexpected(at, "an object"_L1, value);
        const QJsonObject object = value.toObject();
        auto path = [&at](const char* key) {
            return KeyPath{at.role, at.event, QLatin1StringView(key)};
        };
        return text(object, path("time"), out.time) && text(object, path("event"), out.event) &&
               text(object, path("mood"), out.mood) && text(object, path("location"), out.location) &&
               optionalInteger(object, path("energy"), out.energy) && text(object, path("social"), out.social);
    }

    bool role(const QJsonValue& value, qsizetype index, Role& out)
    {
        const KeyPath at{index, -1, {}};
        if (!value.isObject())
            return unexpected(at, "an object"_L1, value);
        const QJsonObject object = value.toObject();
        auto path = [index](const char* key) {
            return KeyPath{index, -1, QLatin1StringView(key)};
        };

        QString pack;
        if (!text(object, path("id"), out.id) || !text(object, path("name"), out.name) ||
            !optionalText(object, path("displayName"), out.displayName) || !text(object, path("stylePack"), pack))
            return false;
        const std::optional<StylePack> stylePack = stylePackFromText(pack);
        if (!stylePack)
            return fail(path("stylePack"), QStringLiteral("unknown style pack \"%1\"").arg(pack));
        out.stylePack = *stylePack;
        if (!text(object, path("summary"), out.summary))
            return false;

        QJsonValue events;
        if (!required(object, path("events"), events))
            return false;
        if (!events.isArray())
            return unexpected(path("events"), "an array"_L1, events);
        const QJsonArray list = events.toArray();
        out.events.reserve(list.size());
        for (qsizetype i = 0; i < list.size(); ++i) {
            RoleEvent event;
            if (!this->event(list.at(i), KeyPath{index, i, {}}, event))
                return false;
            out.events.append(std::move(event));
        }
        return true;
    }

private:
    QByteArrayView m_json;
    std::optional<EnergyLiterals> m_energies; // read only when an energy's literal must be looked at
};

} // namespace

RolePackDecodeResult decodeRolePack(const QByteArray& json)
{
    RolePackDecodeResult result;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("(root): not valid JSON (%1 at offset %2)")
                           .arg(parseError.errorString())
                           .arg(parseError.offset);
        return result;
    }
    if (!document.isObject()) {
        result.error = QStringLiteral("(root): expected an object with the key \"roles\", found an array");
        return result;
    }

    Decoder decoder(json);
    const QJsonObject top = document.object();
    QJsonValue roles;
    if (!decoder.required(top, KeyPath{-1, -1, QLatin1StringView("roles")}, roles)) {
        result.error = decoder.error;
        return result;
    }
    if (!roles.isArray()) {
        result.error = QStringLiteral("roles: expected an array, found ") + describe(roles);
        return result;
    }
    const QJsonArray list = roles.toArray();
    QList<Role> decoded;
    decoded.reserve(list.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        Role role;
        if (!decoder.role(list.at(i), i, role)) {
            result.error = decoder.error;
            return result;
        }
        decoded.append(std::move(role));
    }
    result.payload.roles = std::move(decoded);
    return result;
}

QByteArray encodeRolePack(const RoleLibraryPayload& payload)
{
    QJsonArray roles;
    for (const Role& role : payload.roles) {
        QJsonArray events;
        for (const RoleEvent& event : role.events) {
            QJsonObject object{{QStringLiteral("time"), event.time},
                               {QStringLiteral("event"), event.event},
                               {QStringLiteral("mood"), event.mood},
                               {QStringLiteral("location"), event.location},
                               {QStringLiteral("social"), event.social}};
            if (event.energy)
                object.insert(QStringLiteral("energy"), *event.energy);
            events.append(object);
        }
        QJsonObject object{{QStringLiteral("id"), role.id},
                           {QStringLiteral("name"), role.name},
                           {QStringLiteral("stylePack"), stylePackText(role.stylePack)},
                           {QStringLiteral("summary"), role.summary},
                           {QStringLiteral("events"), events}};
        if (role.displayName)
            object.insert(QStringLiteral("displayName"), *role.displayName);
        roles.append(object);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("roles"), roles}}).toJson(QJsonDocument::Compact);
}

} // namespace pellora
