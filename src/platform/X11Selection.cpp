#include "platform/X11Selection.h"

#include <QByteArray>
#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace pellora {

std::optional<bool> x11ScreenSelectionOwned(const char* prefix)
{
#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;

    // The default screen comes from $DISPLAY, as it does for the connection Qt opened.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    const QByteArray name = prefix + QByteArray::number(screen);

    using AtomReply = std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)>;
    using OwnerReply = std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)>;
    // Only if the atom exists: no atom means nobody has ever claimed the selection.
    const AtomReply atom(xcb_intern_atom_reply(connection,
                                               xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
                                               nullptr),
                         &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const OwnerReply owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
#else
    Q_UNUSED(prefix);
    return std::nullopt;
#endif
}

} // namespace pellora
