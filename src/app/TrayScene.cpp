#include "TrayScene.h"

#include "AppDelegate.h"
#include "library/SettingsText.h"
#include "platform/LoginItem.h"
#include "platform/TrayHost.h"
#include "platform/WindowHints.h"
#include "platform/WorkArea.h"
#include "strip/FloatingPanel.h"
#include "views/ContentView.h"
#include "views/Sheet.h"
#include "views/StartupPermissionView.h"
#include "widgets/SvgIcon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QWindow>

#include <array>
#include <optional>

namespace pellora {
namespace {

// How long to keep looking for a tray that has not come up yet, once a second.
constexpr int trayChecksBeforeGivingUp = 600;

enum class Edge { top, bottom, left, right };

// The first edge, in the order top, bottom, left, right, whose amount is positive.
std::optional<Edge> firstPositive(const std::array<int, 4>& amounts)
{
    constexpr std::array edges{Edge::top, Edge::bottom, Edge::left, Edge::right};
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (amounts[i] > 0)
            return edges[i];
    }
    return std::nullopt;
}

// The panel edge `anchor` sits at: the side of the work area it lies beyond; within the work area (a panel
// that reserves no room), the nearer of the top and the bottom.
Edge edgeBeyond(const QRect& anchor, const QRect& available)
{
    return firstPositive({available.top() - anchor.bottom(), anchor.top() - available.bottom(),
                          available.left() - anchor.right(), anchor.left() - available.right()})
        .value_or(anchor.center().y() < available.center().y() ? Edge::top : Edge::bottom);
}

// The edge where a panel takes room from the screen. Panels along the top and the bottom hold the tray more
// often than docks at the sides, so they come first.
Edge panelEdge(const QRect& screen, const QRect& available)
{
    return firstPositive({available.top() - screen.top(), screen.bottom() - available.bottom(),
                          available.left() - screen.left(), screen.right() - available.right()})
        .value_or(Edge::top);
}

// Whether the active window is `window` or one of its sheets.
bool activeWithin(const QWidget* window)
{
    for (QWidget* active = QApplication::activeWindow(); window && active; active = active->parentWidget()) {
        if (active == window)
            return true;
    }
    return false;
}

} // namespace

QRect trayWindowGeometry(const QRect& icon, const QPoint& pointer, const QSize& size, const QRect& screen,
                         const QRect& available)
{
    constexpr int gap = 4;
    QRect result(QPoint(), size);
    const QRect anchor = icon.isValid() || available.contains(pointer) ? icon : QRect(pointer, QSize(1, 1));
    if (anchor.isValid()) {
        const int x = anchor.x() + (anchor.width() - size.width()) / 2;
        const int y = anchor.y() + (anchor.height() - size.height()) / 2;
        switch (edgeBeyond(anchor, available)) {
        case Edge::top:
            result.moveTopLeft({x, anchor.bottom() + 1 + gap});
            break;
        case Edge::bottom:
            result.moveTopLeft({x, anchor.top() - gap - size.height()});
            break;
        case Edge::left:
            result.moveTopLeft({anchor.right() + 1 + gap, y});
            break;
        case Edge::right:
            result.moveTopLeft({anchor.left() - gap - size.width(), y});
            break;
        }
    } else {
        switch (panelEdge(screen, available)) {
        case Edge::top:
            result.moveTopRight(available.topRight());
            break;
        case Edge::bottom:
        case Edge::right:
            result.moveBottomRight(available.bottomRight());
            break;
        case Edge::left:
            result.moveBottomLeft(available.bottomLeft());
            break;
        }
    }
    return fitInside(result, available);
}

TrayScene::TrayScene(AppDelegate& delegate, QSettings* settings, LoginItem& loginItem, QObject* parent)
    : QObject(parent), m_delegate(delegate), m_settings(settings), m_loginItem(loginItem)
{
    buildMenu();
    m_delegate.stripController().setContextMenu(&m_menu);
    // Any change of the focus, not only the window's own deactivation: while a sheet has the focus, the window
    // has none to lose when the user turns to another application.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
        // Noted at once: the window may hold the focus for less than the turn the check waits.
        m_windowActivated = m_windowActivated || activeWithin(m_window);
        QTimer::singleShot(0, this, &TrayScene::hideWhenInactive);
    });

    m_trayWait.setInterval(1000);
    connect(&m_trayWait, &QTimer::timeout, this, [this] {
        if (trayHostPresent()) {
            m_trayWait.stop();
            createTrayIcon();
        } else if (++m_trayChecks >= trayChecksBeforeGivingUp) {
            m_trayWait.stop(); // the strip's menu stays the way in
        }
    });
}

TrayScene::~TrayScene()
{
    m_delegate.stripController().setContextMenu(nullptr);
    delete m_loginFailure.data();
    if (FloatingPanel* window = m_window) {
        window->removeEventFilter(this); // no events from a window being torn down
        delete window;
    }
}

void TrayScene::buildMenu()
{
    const auto add = [this](const QString& text, const char* name) {
        QAction* action = m_menu.addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(add(tr("打开"), "openAction"), &QAction::triggered, this, &TrayScene::openWindow);
    m_menu.addSeparator();

    // The strip's two commands: its buttons never take the focus, so keyboard and screen-reader users reach
    // them here.
    RoleLibrary& library = m_delegate.library();
    connect(add(tr("换一个"), "drawAction"), &QAction::triggered, &library, &RoleLibrary::drawRandomRole);
    connect(add(tr("角色库"), "libraryAction"), &QAction::triggered, this,
            [this] { m_delegate.stripController().pickerController().open(&m_delegate.library()); });
    m_menu.addSeparator();

    DisplayModeStore& store = m_delegate.displayModeStore();
    m_showStrip = add(tr("显示浮窗"), "showStripAction");
    m_showStrip->setCheckable(true);
    m_showStrip->setChecked(store.mode() == DisplayMode::floatingStrip);
    connect(&store, &DisplayModeStore::modeChanged, m_showStrip,
            [action = m_showStrip](DisplayMode mode) { action->setChecked(mode == DisplayMode::floatingStrip); });
    connect(m_showStrip, &QAction::triggered, &store,
            [&store](bool checked) { store.setMode(checked ? DisplayMode::floatingStrip : DisplayMode::menuBarOnly); });

    // Read back at every showing: the entry may have been removed or switched off outside Pellora.
    m_launchAtLogin = add(tr("登录时启动"), "launchAtLoginAction");
    m_launchAtLogin->setCheckable(true);
    connect(&m_menu, &QMenu::aboutToShow, this, [this] { m_launchAtLogin->setChecked(m_loginItem.isEnabled()); });
    connect(m_launchAtLogin, &QAction::triggered, this, &TrayScene::setLaunchAtLogin);
    m_menu.addSeparator();

    connect(add(tr("退出"), "quitAction"), &QAction::triggered, this, &TrayScene::quitRequested);
}

void TrayScene::setLaunchAtLogin(bool enabled)
{
    QString error;
    const bool done = enabled ? m_loginItem.enable(&error) : m_loginItem.disable(&error);
    m_launchAtLogin->setChecked(m_loginItem.isEnabled());
    if (done)
        return;
    const QString line = enabled ? QStringLiteral("Failed to enable launch at startup: ") + error
                                 : QStringLiteral("Failed to disable launch at startup: ") + error;
    printLine(line);
    // Told where the user looks too; shown, not run modally, so nothing waits on the user's answer.
    if (m_loginFailure)
        m_loginFailure->close();
    m_loginFailure = new QMessageBox(QMessageBox::Warning, tr("Pellora"),
                                     enabled ? tr("Failed to enable launch at startup: ") + error
                                             : tr("Failed to disable launch at startup: ") + error,
                                     QMessageBox::Ok);
    m_loginFailure->setObjectName(QStringLiteral("launchAtLoginFailure"));
    m_loginFailure->setTextFormat(Qt::PlainText);
    m_loginFailure->setAttribute(Qt::WA_DeleteOnClose);
    m_loginFailure->show();
}

void TrayScene::start()
{
    if (trayHostPresent()) {
        createTrayIcon();
        return;
    }
    m_trayChecks = 0;
    m_trayWait.start();
}

void TrayScene::createTrayIcon()
{
    m_tray = std::make_unique<QSystemTrayIcon>(trayIcon(), this);
    m_tray->setToolTip(tr("Pellora"));
    m_tray->setContextMenu(&m_menu);
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, &TrayScene::trayActivated);
    m_tray->show();
    m_delegate.setTrayIconShown(true);
}

void TrayScene::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        toggleWindow();
        break;
    case QSystemTrayIcon::DoubleClick: // the second click of a quick pair
        if (!(m_window && m_window->isVisible()))
            openWindow();
        break;
    case QSystemTrayIcon::Context:
        // A StatusNotifier host that asks the item for its menu shows none itself; an XEmbed tray icon has
        // already opened it.
        if (!m_menu.isVisible())
            m_menu.popup(contextMenuPosition());
        break;
    default:
        break;
    }
}

QPoint TrayScene::contextMenuPosition() const
{
    // Under XWayland a host that asks for the menu is a Wayland bar, where the pointer's X position is stale:
    // the menu goes to the corner next to the panel, as the window does.
    if (!pointerMayLeaveUnseen())
        return QCursor::pos();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QCursor::pos();
    const QRect available = m_delegate.stripController().workArea().available(screen);
    return trayWindowGeometry({}, available.center(), m_menu.sizeHint(), screen->geometry(), available).topLeft();
}

ContentView* TrayScene::content() const
{
    return m_window ? qobject_cast<ContentView*>(m_window->content()) : nullptr;
}

void TrayScene::toggleWindow()
{
    if (m_window && m_window->isVisible())
        m_window->hide();
    else
        openWindow();
}

void TrayScene::openWindow()
{
    if (!m_window) {
        // Held beside the tray where the window manager would tile or centre it (i3, sway).
        m_window = new FloatingPanel({.onEveryDesktop = true});
        m_window->setObjectName(QStringLiteral("trayWindow"));
        m_window->setWindowTitle(tr("Pellora"));
        m_window->installEventFilter(this);
        connect(new QShortcut(QKeySequence::Cancel, m_window), &QShortcut::activated, m_window, &QWidget::hide);
    }
    // Fresh content on every opening: the clock's schedule starts now and no sheet is up.
    auto* content = new ContentView(&m_delegate.library());
    content->setUploadDraft(&m_uploadDraft);
    m_window->setContent(content);
    m_window->setFixedWidth(windowWidth);
    const QSize size(windowWidth, m_window->contentHeight());
    // Taken now, at the activation: on a panel, the pointer is where the user clicked the icon.
    const QPoint pointer = QCursor::pos();
    const QRect icon = m_tray ? m_tray->geometry() : QRect();
    // The strip's work area: it knows panels Qt leaves out (several monitors, sway's bar).
    const WorkArea& workArea = m_delegate.stripController().workArea();
    m_window->setWorkArea(&workArea);
    const QScreen* screen = QGuiApplication::screenAt(icon.isValid() ? icon.center() : pointer);
    // A pointer inside a work area tells nothing of the icon: the panel is then looked for on the main screen.
    if (!screen || (!icon.isValid() && workArea.available(screen).contains(pointer)))
        screen = QGuiApplication::primaryScreen();
    const QRect geometry =
        trayWindowGeometry(icon, pointer, size, screen ? screen->geometry() : QRect(), workArea.available(screen));
    // Sized by its content: with nothing to resize or maximise, window managers offer neither.
    m_window->setFixedSize(geometry.size());
    m_window->setGeometry(geometry);
    m_windowActivated = false;
    m_window->showAndActivate();
    checkFirstLaunch();
}

void TrayScene::checkFirstLaunch()
{
    if (!m_settings || m_welcome)
        return;
    if (m_settings->value(firstLaunchKey, false).toBool())
        return;
    // Written when the dialog is offered, not when it is answered: closing it never brings it back.
    m_settings->setValue(firstLaunchKey, true);
    m_settings->sync();
    auto* welcome = new StartupPermissionView(m_loginItem, m_window);
    connect(welcome, &StartupPermissionView::launchAtLoginFailed, this,
            [](const QString& error) { printLine(QStringLiteral("Failed to enable launch at startup: ") + error); });
    m_welcome = welcome;
    showSheet(welcome);
}

bool TrayScene::eventFilter(QObject* watched, QEvent* event)
{
    // Hidden by Pellora, not by the window manager: KWin hides an inactive application's tool windows for a
    // moment (Qt reports a spontaneous hide) and shows them again once it is active.
    if (watched == m_window && event->type() == QEvent::Hide && !event->spontaneous())
        closeSheets();
    return QObject::eventFilter(watched, event);
}

void TrayScene::hideWhenInactive()
{
    // Like a tray popup: it goes away when the user turns elsewhere, but not for its own sheets. Only
    // once it has had the focus: until the window manager hands it over (KWin does so late, after moving the
    // focus about as the window and its sheet map), a change of focus is no turning away.
    if (m_window && m_window->isVisible() && m_windowActivated && !activeWithin(m_window))
        m_window->hide();
}

void TrayScene::closeSheets()
{
    // Sheets are windows of their own here: left behind, they would stand alone (under the strip, perhaps),
    // cut off from the window they belong to. They go with it; the next opening starts without them, and the
    // upload form keeps what was typed.
    for (QWidget* child : m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible() && !child->close())
            child->hide();
    }
}

} // namespace pellora
