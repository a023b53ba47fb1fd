#include "platform/WindowHints.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>
#endif

namespace pellora {

#if QT_CONFIG(xcb)
namespace {

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// A mapped window's properties belong to the window manager: a client message to the root asks it.
void askWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                      std::initializer_list<uint32_t> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(connection, 0, rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Adds `wanted` to the window's _NET_WM_STATE.
void addStates(QWindow* window, std::initializer_list<const char*> wanted)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    std::vector<xcb_atom_t> states;
    for (const char* name : wanted)
        states.push_back(atom(connection, name));
    if (state == XCB_ATOM_NONE || std::find(states.begin(), states.end(), XCB_ATOM_NONE) != states.end())
        return;

    if (window->isVisible()) {
        // Two states per message; the last value says it comes from a normal application.
        for (std::size_t i = 0; i < states.size(); i += 2)
            askWindowManager(connection, id, state,
                             {1 /* add */, states[i], i + 1 < states.size() ? states[i + 1] : 0, 1});
    } else {
        // Before mapping, the window sets the property itself; Qt merges its own states into it on show.
        std::vector<xcb_atom_t> atoms;
        const XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection, xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64),
                                   nullptr),
            &std::free);
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* existing = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
            atoms.assign(existing, existing + xcb_get_property_value_length(reply.get()) / 4);
        }
        for (xcb_atom_t added : states) {
            if (std::find(atoms.begin(), atoms.end(), added) == atoms.end())
                atoms.push_back(added);
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()),
                            atoms.data());
    }
    xcb_flush(connection);
}

} // namespace
#endif

void keepOffTaskbar(QWindow* window)
{
#if QT_CONFIG(xcb)
    addStates(window, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
#else
    Q_UNUSED(window);
#endif
}

void showOnAllDesktops(QWindow* window)
{
#if QT_CONFIG(xcb)
    // Window managers differ in which of the two they read: some the desktop number "all", others the
    // sticky state. Both are set.
    addStates(window, {"_NET_WM_STATE_STICKY"});
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window)
        return;
    const xcb_atom_t desktop = atom(connection, "_NET_WM_DESKTOP");
    if (desktop == XCB_ATOM_NONE)
        return;
    constexpr uint32_t allDesktops = 0xFFFFFFFF;
    const auto id = xcb_window_t(window->winId());
    if (window->isVisible())
        askWindowManager(connection, id, desktop, {allDesktops, 1});
    else
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

void stopDemandingAttention(QWindow* window)
{
#if QT_CONFIG(xcb)
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window || !window->isVisible())
        return;
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t attention = atom(connection, "_NET_WM_STATE_DEMANDS_ATTENTION");
    if (state == XCB_ATOM_NONE || attention == XCB_ATOM_NONE)
        return;
    askWindowManager(connection, xcb_window_t(window->winId()), state, {0 /* remove */, attention, 0, 1});
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

bool pointerMayLeaveUnseen()
{
#if QT_CONFIG(xcb)
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return false;
    // XWayland names its outputs XWAYLAND0, XWAYLAND1…; from version 23.1 it also has an extension of that name.
    static const bool xwayland = [connection] {
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (std::any_of(screens.begin(), screens.end(),
                        [](const QScreen* screen) { return screen->name().startsWith(QLatin1String("XWAYLAND")); }))
            return true;
        constexpr std::string_view name = "XWAYLAND";
        const XcbReply<xcb_query_extension_reply_t> reply(
            xcb_query_extension_reply(connection, xcb_query_extension(connection, uint16_t(name.size()), name.data()),
                                      nullptr),
            &std::free);
        return reply && reply->present;
    }();
    return xwayland;
#else
    return false;
#endif
}

bool pointerOutside(const QWindow* window)
{
#if QT_CONFIG(xcb)
    if (!window || !pointerMayLeaveUnseen())
        return false;
    xcb_connection_t* connection = x11Connection();
    const XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, rootWindow(connection)), nullptr),
        &std::free);
    // The top-level window the pointer is in; none on a Wayland surface.
    return pointer && pointer->child != xcb_window_t(window->winId());
#else
    Q_UNUSED(window);
    return false;
#endif
}

} // namespace pellora
