#include "platform/TrayHost.h"

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
    const QByteArray assumed = qgetenv("PELLORA_ASSUME_TRAY");
    if (assumed == "1")
        return true;
    if (assumed == "0")
        return false;
    return statusNotifierWatcherPresent() || x11ScreenSelectionOwned("_NET_SYSTEM_TRAY_S").value_or(false);
}

} // namespace pellora
