#include "RolePackCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

namespace pellora {
namespace {

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

class Decoder {
public:
    QString error;

    bool fail(const KeyPath& path, const QString& reason)
    {
        error = path.text() + QStringLiteral(": ") + reason;
        return false;
    }

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
            return fail(path, QStringLiteral("expected a string, found ") + describe(value));
        out = value.toString();
        return true;
    }

    bool optionalText(const QJsonObject& object, KeyPath path, std::optional<QString>& out)
    {
        const QJsonValue value = object.value(path.key);
        if (value.isUndefined() || value.isNull()) {
            out.reset();
            return true;
        }
        if (!value.isString())
            return fail(path, QStringLiteral("expected a string or null, found ") + describe(value));
        out = value.toString();
        return true;
    }

    bool optionalInteger(const QJsonObject& object, KeyPath path, std::optional<qint64>& out)
    {
        const QJsonValue value = object.value(path.key);
        if (value.isUndefined() || value.isNull()) {
            out.reset();
            return true;
        }
        // toInteger answers its default for anything that is not a whole number within qint64's range,
        // so two different defaults tell a real integer apart.
        const qint64 a = value.toInteger(0);
        const qint64 b = value.toInteger(1);
        if (!value.isDouble() || a != b)
            return fail(path, QStringLiteral("expected an integer or null, found ") + describe(value));
        out = a;
        return true;
    }

    bool event(const QJsonValue& value, KeyPath at, RoleEvent& out)
    {
        if (!value.isObject())
            return fail(at, QStringLiteral("expected an object, found ") + describe(value));
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
            return fail(at, QStringLiteral("expected an object, found ") + describe(value));
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
            return fail(path("events"), QStringLiteral("expected an array, found ") + describe(events));
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

    Decoder decoder;
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
