#include "platform/Struts.h"
#include "platform/WindowManagerIpc.h"
#include "platform/WorkArea.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#endif

namespace pellora {

QRect WorkArea::primary() const
{
    return available(QGuiApplication::primaryScreen());
}

namespace {

#if QT_CONFIG(xcb)
template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_get_property_cookie_t askProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                      xcb_atom_t type)
{
    return xcb_get_property(connection, 0, window, property, type, 0, 1024);
}

// The 32-bit values of a property asked for with askProperty; empty when it is missing or of another type.
QList<quint32> propertyValues(xcb_connection_t* connection, xcb_get_property_cookie_t cookie, xcb_atom_t type)
{
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->type != type || reply->format != 32)
        return {};
    const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    return QList<quint32>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}
#endif

class DesktopWorkArea final : public WorkArea, public QAbstractNativeEventFilter {
public:
    explicit DesktopWorkArea(QObject* parent) : WorkArea(parent)
    {
        // Screens and panels change in bursts (a monitor plugged in moves several screens; a panel that
        // starts sets several properties): look once the burst is over.
        m_recompute.setSingleShot(true);
        m_recompute.setInterval(100);
        connect(&m_recompute, &QTimer::timeout, this, &DesktopWorkArea::recompute);
        if (!qGuiApp)
            return; // no screens to watch
        connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &DesktopWorkArea::schedule);
        connect(qGuiApp, &QGuiApplication::screenAdded, this, &DesktopWorkArea::watchScreen);
        connect(qGuiApp, &QGuiApplication::screenRemoved, this, &DesktopWorkArea::schedule);
        for (QScreen* screen : QGuiApplication::screens())
            watchScreen(screen);
        startWatchingX11();
        // i3 and sway know their bars' room; swaybar is not an X11 window, so only sway can tell.
        m_windowManager = WindowManagerIpc::fromEnvironment();
        if (m_windowManager) {
            connect(m_windowManager.get(), &WindowManagerIpc::workAreasChanged, this,
                    [this](const QList<QRect>& areas) {
                        m_windowManagerAreas.clear();
                        for (const QRect& area : areas)
                            m_windowManagerAreas << quint32(area.x()) << quint32(area.y()) << quint32(area.width())
                                                 << quint32(area.height());
                        schedule();
                    });
            m_windowManager->watchWorkAreas();
        }
        m_primaryScreen = QGuiApplication::primaryScreen();
        m_primaryArea = computePrimary();
        m_screens = screenGeometries();
    }

    ~DesktopWorkArea() override
    {
        if (m_filtering && qGuiApp)
            qGuiApp->removeNativeEventFilter(this);
    }

    QRect available(const QScreen* screen) const override
    {
        if (!screen)
            return {};
        if (screen == m_primaryScreen && m_primaryArea.isValid())
            return m_primaryArea;
        return screen->availableGeometry();
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override
    {
        Q_UNUSED(result);
#if QT_CONFIG(xcb)
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->window == m_root &&
            (notify->atom == m_workAreaAtom || notify->atom == m_clientListAtom ||
             notify->atom == m_currentDesktopAtom || notify->atom == m_monitorWorkAreasAtom))
            schedule();
#else
        Q_UNUSED(eventType);
        Q_UNUSED(message);
#endif
        return false;
    }

private:
    void schedule()
    {
        m_recompute.start();
    }

    void watchScreen(QScreen* screen)
    {
        connect(screen, &QScreen::geometryChanged, this, &DesktopWorkArea::schedule);
        connect(screen, &QScreen::availableGeometryChanged, this, &DesktopWorkArea::schedule);
        schedule();
    }

    static QList<QRect> screenGeometries()
    {
        QList<QRect> geometries;
        for (const QScreen* screen : QGuiApplication::screens())
            geometries.append(screen->geometry());
        return geometries;
    }

    void recompute()
    {
        QScreen* primary = QGuiApplication::primaryScreen();
        const QRect area = computePrimary();
        QList<QRect> screens = screenGeometries();
        if (primary == m_primaryScreen && area == m_primaryArea && screens == m_screens)
            return;
        m_primaryScreen = primary;
        m_primaryArea = area;
        m_screens = std::move(screens);
        emit changed();
    }

    QRect computePrimary() const
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return {};
        return screen->availableGeometry() & x11WorkArea(screen);
    }

#if QT_CONFIG(xcb)
    xcb_connection_t* x11Connection() const
    {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->connection() : nullptr;
    }

    void startWatchingX11()
    {
        xcb_connection_t* connection = x11Connection();
        if (!connection)
            return;
        // The default screen comes from $DISPLAY, as it does for the connection Qt opened.
        int screenNumber = 0;
        char* host = nullptr;
        int display = 0;
        if (xcb_parse_display(nullptr, &host, &display, &screenNumber))
            std::free(host);
        xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && roots.rem > 1; ++i)
            xcb_screen_next(&roots);
        m_root = roots.data->root;
        m_workAreaAtom = internAtom(connection, "_NET_WORKAREA");
        m_clientListAtom = internAtom(connection, "_NET_CLIENT_LIST");
        m_currentDesktopAtom = internAtom(connection, "_NET_CURRENT_DESKTOP");
        m_monitorWorkAreasAtom = internAtom(connection, "_GTK_WORKAREAS_D0");

        // Qt listens to the root's property changes already; make sure, without dropping what it asked for.
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, m_root), nullptr),
            &std::free);
        if (attributes && !(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
            const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection, m_root, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(connection);
        }
        qGuiApp->installNativeEventFilter(this);
        m_filtering = true;
    }

    // The struts of the mapped panels. Panels set them on their own top-level window, which is a child of
    // the root or, where the window manager frames windows (panels included, as i3 does with its bar), a
    // child of its frame; not every window manager lists panels among its clients. All properties are
    // asked for before any is read, so each level costs one round trip.
    QList<QList<quint32>> dockStruts(xcb_connection_t* connection) const
    {
        const xcb_atom_t windowType = internAtom(connection, "_NET_WM_WINDOW_TYPE");
        const xcb_atom_t dock = internAtom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
        const xcb_atom_t strutPartial = internAtom(connection, "_NET_WM_STRUT_PARTIAL");
        const xcb_atom_t strut = internAtom(connection, "_NET_WM_STRUT");

        auto children = [connection](const QList<xcb_window_t>& parents) {
            QList<xcb_query_tree_cookie_t> asked;
            for (xcb_window_t parent : parents)
                asked.append(xcb_query_tree(connection, parent));
            QList<xcb_window_t> found;
            for (xcb_query_tree_cookie_t cookie : asked) {
                const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, cookie, nullptr),
                                                            &std::free);
                if (!tree)
                    continue;
                const xcb_window_t* windows = xcb_query_tree_children(tree.get());
                found.append(QList<xcb_window_t>(windows, windows + xcb_query_tree_children_length(tree.get())));
            }
            return found;
        };
        const QList<xcb_window_t> topLevel = children({m_root});
        const QList<xcb_window_t> candidates = topLevel + children(topLevel);

        QList<xcb_get_property_cookie_t> types;
        for (xcb_window_t window : candidates)
            types.append(askProperty(connection, window, windowType, XCB_ATOM_ATOM));
        struct Asked {
            xcb_get_window_attributes_cookie_t attributes;
            xcb_get_property_cookie_t partial, full;
        };
        QList<Asked> docks;
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            if (propertyValues(connection, types[i], XCB_ATOM_ATOM).contains(dock))
                docks.append({xcb_get_window_attributes(connection, candidates[i]),
                              askProperty(connection, candidates[i], strutPartial, XCB_ATOM_CARDINAL),
                              askProperty(connection, candidates[i], strut, XCB_ATOM_CARDINAL)});
        }
        QList<QList<quint32>> struts;
        for (const Asked& asked : docks) {
            const XcbReply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(connection, asked.attributes, nullptr), &std::free);
            QList<quint32> partial = propertyValues(connection, asked.partial, XCB_ATOM_CARDINAL);
            QList<quint32> full = propertyValues(connection, asked.full, XCB_ATOM_CARDINAL);
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                struts.append(partial.size() >= 12 ? std::move(partial) : std::move(full));
        }
        return struts;
    }

    // The screen less the panels the desktop reserves room for, in Qt's coordinates; the whole screen where
    // nothing is known.
    QRect x11WorkArea(const QScreen* screen) const
    {
        const QRect logical = screen->geometry();
        xcb_connection_t* connection = x11Connection();
        if (!connection || !m_filtering)
            return logical;
        // Qt keeps a screen's top-left in device pixels and divides only its size by the scale factor.
        const qreal scale = screen->devicePixelRatio();
        const QRect native(logical.topLeft(), logical.size() * scale);

        ReservedSpace reserved;
        const XcbReply<xcb_get_geometry_reply_t> root(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, m_root), nullptr), &std::free);
        if (!root)
            return logical;
        reserved.root = QSize(root->width, root->height);

        const QList<quint32> desktop = propertyValues(
            connection, askProperty(connection, m_root, m_currentDesktopAtom, XCB_ATOM_CARDINAL), XCB_ATOM_CARDINAL);
        const xcb_atom_t workAreas =
            internAtom(connection, "_GTK_WORKAREAS_D" + QByteArray::number(desktop.value(0, 0)));
        m_monitorWorkAreasAtom = workAreas;
        reserved.monitorWorkAreas = propertyValues(
            connection, askProperty(connection, m_root, workAreas, XCB_ATOM_CARDINAL), XCB_ATOM_CARDINAL);
        if (reserved.monitorWorkAreas.isEmpty())
            reserved.monitorWorkAreas = m_windowManagerAreas;

        if (reserved.monitorWorkAreas.isEmpty())
            reserved.struts = dockStruts(connection);
        const QRect area = monitorWorkArea(native, reserved);
        // Edges that fall between logical pixels are rounded inwards: nothing placed by the area reaches into
        // a panel (a 21-pixel bar at twice the scale).
        const QPoint offset = area.topLeft() - native.topLeft();
        const int left = int(std::ceil(offset.x() / scale)), top = int(std::ceil(offset.y() / scale));
        const int right = int(std::floor((offset.x() + area.width()) / scale));
        const int bottom = int(std::floor((offset.y() + area.height()) / scale));
        return QRect(logical.topLeft() + QPoint(left, top), QSize(right - left, bottom - top));
    }

    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_workAreaAtom = XCB_ATOM_NONE;
    xcb_atom_t m_clientListAtom = XCB_ATOM_NONE;
    xcb_atom_t m_currentDesktopAtom = XCB_ATOM_NONE;
    mutable xcb_atom_t m_monitorWorkAreasAtom = XCB_ATOM_NONE; // of the desktop shown when last read
#else
    void startWatchingX11() {}
    QRect x11WorkArea(const QScreen* screen) const
    {
        return screen->geometry();
    }
#endif

    QTimer m_recompute;
    std::unique_ptr<WindowManagerIpc> m_windowManager;
    QList<quint32> m_windowManagerAreas; // as the published work areas: x, y, width, height per output
    QPointer<QScreen> m_primaryScreen;
    QRect m_primaryArea;
    QList<QRect> m_screens;
    bool m_filtering = false;
};

} // namespace

std::unique_ptr<WorkArea> makeDesktopWorkArea(QObject* parent)
{
    return std::make_unique<DesktopWorkArea>(parent);
}

} // namespace pellora
