#include "platform/TrayHost.h"

#include "platform/AssumedAnswer.h"
#include "platform/X11Selection.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>

namespace pellora {
namespace {

bool statusNotifierWatcherPresent()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

} // namespace

bool trayHostPresent()
{
    if (const std::optional<bool> assumed = assumedAnswer("PELLORA_ASSUME_TRAY"))
        return *assumed;
    return statusNotifierWatcherPresent() || x11ScreenSelectionOwned("_NET_SYSTEM_TRAY_S").value_or(false);
}

} // namespace pellora
