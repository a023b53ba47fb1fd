#include "SettingsText.h"

#include <QMetaType>

namespace pellora {

std::optional<QString> settingsText(const QSettings& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::QStringList:
    case QMetaType::QVariantList:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return std::nullopt;
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        break;
    }
    if (!value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

void writeSetting(QSettings& settings, const QString& key, const QString& value)
{
    settings.setValue(key, value);
    settings.sync();
}

} // namespace pellora
