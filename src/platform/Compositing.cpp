#include "platform/Compositing.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace pellora {

namespace {

#if QT_CONFIG(xcb)
template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

// The default screen comes from $DISPLAY, as it does for the connection Qt opened.
int defaultScreenNumber()
{
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        return 0;
    std::free(host);
    return screen;
}

bool x11CompositingManagerRunning()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return true;

    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber());
    // Only if the atom exists: no atom means no compositing manager has ever claimed it.
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}
#endif

} // namespace

bool compositingManagerRunning()
{
    const QByteArray assumed = qgetenv("PELLORA_ASSUME_COMPOSITOR");
    if (assumed == "1")
        return true;
    if (assumed == "0")
        return false;

#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return x11CompositingManagerRunning();
#endif
    return true;
}

} // namespace pellora
