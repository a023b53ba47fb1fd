#include "TrayScene.h"

#include "AppDelegate.h"
#include "library/SettingsText.h"
#include "platform/LoginItem.h"
#include "platform/TrayHost.h"
#include "strip/FloatingPanel.h"
#include "views/ContentView.h"
#include "views/Sheet.h"
#include "views/StartupPermissionView.h"
#include "views/SvgIcon.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QScreen>
#include <QSettings>

namespace pellora {
namespace {

// How long to keep looking for a tray that has not come up yet, once a second.
constexpr int trayChecksBeforeGivingUp = 600;

} // namespace

QRect trayWindowGeometry(const QRect& iconGeometry, const QSize& size, const QRect& available, const QPoint& cursor)
{
    const QRect anchor = iconGeometry.isValid() ? iconGeometry : QRect(cursor, QSize(1, 1));
    constexpr int gap = 4;
    QRect result(QPoint(anchor.center().x() - size.width() / 2, 0), size);
    // A tray along the top edge opens the window downward; along the bottom edge, upward.
    if (!available.isValid() || anchor.center().y() < available.center().y())
        result.moveTop(anchor.y() + anchor.height() + gap);
    else
        result.moveTop(anchor.y() - gap - size.height());
    if (!available.isValid())
        return result;
    const int right = available.x() + available.width();
    const int bottom = available.y() + available.height();
    result.moveLeft(std::max(available.x(), std::min(result.x(), right - size.width())));
    result.moveTop(std::max(available.y(), std::min(result.y(), bottom - size.height())));
    return result;
}

TrayScene::TrayScene(AppDelegate& delegate, QSettings* settings, LoginItem& loginItem, QObject* parent)
    : QObject(parent), m_delegate(delegate), m_settings(settings), m_loginItem(loginItem)
{
    QAction* open = m_menu.addAction(tr("打开"));
    open->setObjectName(QStringLiteral("openAction"));
    connect(open, &QAction::triggered, this, &TrayScene::openWindow);
    QAction* quit = m_menu.addAction(tr("退出"));
    quit->setObjectName(QStringLiteral("quitAction"));
    connect(quit, &QAction::triggered, this, &TrayScene::quitRequested);

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
    m_delegate.stripController().setFallbackMenu(nullptr);
    if (FloatingPanel* window = m_window) {
        window->removeEventFilter(this); // no events from a window being torn down
        delete window;
    }
}

void TrayScene::start()
{
    if (trayHostPresent()) {
        createTrayIcon();
        return;
    }
    waitForTray();
}

void TrayScene::waitForTray()
{
    // Until a tray shows up, the strip's own context menu keeps Pellora reachable.
    m_delegate.stripController().setFallbackMenu(&m_menu);
    m_trayChecks = 0;
    m_trayWait.start();
}

void TrayScene::createTrayIcon()
{
    m_tray = std::make_unique<QSystemTrayIcon>(trayIcon());
    m_tray->setToolTip(tr("Pellora"));
    m_tray->setContextMenu(&m_menu);
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            toggleWindow();
        else if (reason == QSystemTrayIcon::DoubleClick && !(m_window && m_window->isVisible()))
            openWindow(); // the second click of a quick pair arrives as a double click
    });
    m_tray->show();
    m_delegate.stripController().setFallbackMenu(nullptr);
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
    }
    // Fresh content on every opening: the clock's schedule starts now and no sheet is up.
    auto* content = new ContentView(&m_delegate.library());
    m_window->setContent(content);
    m_window->setFixedWidth(windowWidth);
    const QSize size(windowWidth, m_window->contentHeight());
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect icon = m_tray ? m_tray->geometry() : QRect();
    m_window->setGeometry(
        trayWindowGeometry(icon, size, screen ? screen->availableGeometry() : QRect(), QCursor::pos()));
    m_window->makeKeyAndOrderFront();
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
    m_welcome = welcome;
    showSheet(welcome);
}

bool TrayScene::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate && watched == m_window)
        QTimer::singleShot(0, this, &TrayScene::hideWhenInactive);
    return QObject::eventFilter(watched, event);
}

void TrayScene::hideWhenInactive()
{
    // Like a menu-bar window: it goes away when the user turns elsewhere, but not for its own sheets.
    if (!m_window || !m_window->isVisible())
        return;
    for (QWidget* active = QApplication::activeWindow(); active; active = active->parentWidget()) {
        if (active == m_window)
            return;
    }
    m_window->hide();
}

} // namespace pellora
