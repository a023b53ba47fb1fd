#include "platform/TrayHost.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace pellora {
namespace {

bool statusNotifierWatcherPresent()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

bool x11SystemTrayPresent()
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    using AtomReply = std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)>;
    const AtomReply atom(xcb_intern_atom_reply(connection,
                                               xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
                                               nullptr),
                         &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    using OwnerReply = std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)>;
    const OwnerReply owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
#else
    return false;
#endif
}

} // namespace

bool trayHostPresent()
{
    const QByteArray assumed = qgetenv("PELLORA_ASSUME_TRAY");
    if (assumed == "1")
        return true;
    if (assumed == "0")
        return false;
    return statusNotifierWatcherPresent() || x11SystemTrayPresent();
}

} // namespace pellora
