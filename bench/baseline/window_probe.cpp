// Waits until a process has a visible top-level window with a given title (viewable, and managed by the
// window manager in the normal state, which leaves out tray icons embedded in a panel), and
// prints the wall-clock time it saw it, in microseconds since the epoch. bench/startup.sh uses it to
// time start-up: one X connection that looks every few milliseconds and on every change under the
// root window, instead of a new xdotool process per look, whose start costs tens of milliseconds on a
// busy machine.
//
//   window_probe PID TITLE [TIMEOUT_MS]
//
// Prints "SEEN_US LOOKS" and exits 0; exits 1 on timeout, 2 on bad arguments or no display.

#include <xcb/xcb.h>

#include <poll.h>
#include <sys/types.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int lookIntervalMs = 5;
constexpr int searchDepth = 4; // root → window-manager frame → client, with room for one more level

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

long long nowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

long long monotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

class Probe {
public:
    Probe(xcb_connection_t* c, xcb_window_t root, pid_t pid, std::string title)
        : m_c(c), m_root(root), m_pid(pid), m_title(std::move(title)), m_netWmPid(atom(c, "_NET_WM_PID")),
          m_netWmName(atom(c, "_NET_WM_NAME")), m_wmState(atom(c, "WM_STATE"))
    {}

    bool look() { return searchChildren(m_root, searchDepth); }

private:
    // Asks for all children's attributes at once, so one level costs one round trip.
    bool searchChildren(xcb_window_t parent, int depth)
    {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, parent), nullptr));
        if (!tree)
            return false;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        std::vector<xcb_get_window_attributes_cookie_t> cookies;
        cookies.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            cookies.push_back(xcb_get_window_attributes(m_c, children[i]));
        std::vector<xcb_window_t> viewable;
        for (int i = 0; i < count; ++i) {
            Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(m_c, cookies[static_cast<size_t>(i)], nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                viewable.push_back(children[i]);
        }
        for (xcb_window_t window : viewable) {
            if (matches(window))
                return true;
            if (depth > 1 && searchChildren(window, depth - 1))
                return true;
        }
        return false;
    }

    bool matches(xcb_window_t window)
    {
        const auto pidCookie = xcb_get_property(m_c, 0, window, m_netWmPid, XCB_ATOM_CARDINAL, 0, 1);
        const auto netNameCookie = xcb_get_property(m_c, 0, window, m_netWmName, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        const auto nameCookie = xcb_get_property(m_c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        const auto stateCookie = xcb_get_property(m_c, 0, window, m_wmState, m_wmState, 0, 1);
        Reply<xcb_get_property_reply_t> pidReply(xcb_get_property_reply(m_c, pidCookie, nullptr));
        Reply<xcb_get_property_reply_t> netName(xcb_get_property_reply(m_c, netNameCookie, nullptr));
        Reply<xcb_get_property_reply_t> name(xcb_get_property_reply(m_c, nameCookie, nullptr));
        Reply<xcb_get_property_reply_t> state(xcb_get_property_reply(m_c, stateCookie, nullptr));
        if (!pidReply || xcb_get_property_value_length(pidReply.get()) != 4)
            return false;
        if (*static_cast<const uint32_t*>(xcb_get_property_value(pidReply.get())) != static_cast<uint32_t>(m_pid))
            return false;
        constexpr uint32_t normalState = 1;
        if (!state || xcb_get_property_value_length(state.get()) < 4 ||
            *static_cast<const uint32_t*>(xcb_get_property_value(state.get())) != normalState)
            return false;
        return hasTitle(netName.get()) || hasTitle(name.get());
    }

    bool hasTitle(xcb_get_property_reply_t* reply) const
    {
        if (!reply)
            return false;
        const std::string_view value(static_cast<const char*>(xcb_get_property_value(reply)),
                                     static_cast<size_t>(xcb_get_property_value_length(reply)));
        return value == m_title;
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root;
    pid_t m_pid;
    std::string m_title;
    xcb_atom_t m_netWmPid;
    xcb_atom_t m_netWmName;
    xcb_atom_t m_wmState;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3 || argc > 4) {
        std::fputs("usage: window_probe PID TITLE [TIMEOUT_MS]\n", stderr);
        return 2;
    }
    const pid_t pid = static_cast<pid_t>(std::atol(argv[1]));
    const long long timeoutMs = argc == 4 ? std::atoll(argv[3]) : 30000;
    if (pid <= 0 || timeoutMs <= 0) {
        std::fputs("window_probe: PID and TIMEOUT_MS must be positive\n", stderr);
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fputs("window_probe: cannot open the display\n", stderr);
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;

    // Any window mapped, reparented or renamed under the root wakes the probe up for an early look.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    Probe probe(c, root, pid, argv[2]);
    const long long deadline = monotonicMs() + timeoutMs;
    long long looks = 0;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        ++looks;
        if (probe.look()) {
            std::printf("%lld %lld\n", nowUs(), looks);
            xcb_disconnect(c);
            return 0;
        }
        if (xcb_connection_has_error(c) || monotonicMs() >= deadline)
            break;
        // Changes that arrived during the look are looked at again at once; otherwise wait for one.
        bool changed = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            std::free(event);
            changed = true;
        }
        if (!changed) {
            ::poll(&fd, 1, lookIntervalMs);
            while (xcb_generic_event_t* event = xcb_poll_for_event(c))
                std::free(event);
        }
    }
    xcb_disconnect(c);
    return 1;
}
