#pragma once

#include "upload/UploadDraft.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

class QMessageBox;
class QSettings;

namespace pellora {

class AppDelegate;
class ContentView;
class FloatingPanel;
class LoginItem;

// Where the tray window of `size` opens on a screen with the geometry `screen` and the work area `available`:
// beside the tray icon, on the side facing the work area, when the tray reports the icon's place; else beside
// the pointer when it lies on a panel (outside the work area), where the user has just clicked the icon. A
// pointer inside the work area says nothing of the icon (under Wayland it is where it last left an X window):
// then the corner of the work area next to the panel, top right when no panel takes room. Always inside the
// work area.
QRect trayWindowGeometry(const QRect& icon, const QPoint& pointer, const QSize& size, const QRect& screen,
                         const QRect& available);

/// The tray side of the app: the sparkles tray icon, its window with the title, the clock and the three
/// commands (the first opening on a user account offers the welcome dialog), and Pellora's one menu, offered
/// by the tray icon and by the strip alike. At login the tray may start after Pellora: the scene keeps
/// looking for one, and the strip's menu keeps Pellora reachable meanwhile.
class TrayScene final : public QObject {
    Q_OBJECT

public:
    static inline const QString firstLaunchKey = QStringLiteral("hasLaunchedBefore");
    static constexpr int windowWidth = 360;

    TrayScene(AppDelegate& delegate, QSettings* settings, LoginItem& loginItem, QObject* parent = nullptr);
    ~TrayScene() override;

    // Shows the tray icon as soon as a tray is there.
    void start();

    // Opens the tray window with fresh content (and the welcome sheet the first time).
    void openWindow();
    void toggleWindow();
    FloatingPanel* window() const { return m_window; }
    ContentView* content() const;
    QMenu& menu() { return m_menu; }

signals:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void setLaunchAtLogin(bool enabled);
    void createTrayIcon();
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    QPoint contextMenuPosition() const;
    void checkFirstLaunch();
    void hideWhenInactive();
    void closeSheets();

    AppDelegate& m_delegate;
    QSettings* m_settings;
    LoginItem& m_loginItem;
    QMenu m_menu;
    QAction* m_showStrip = nullptr;
    QAction* m_launchAtLogin = nullptr;
    QPointer<QMessageBox> m_loginFailure;
    // Declared after the menu it shows, so it goes first.
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QTimer m_trayWait;
    int m_trayChecks = 0;
    QPointer<FloatingPanel> m_window;
    QPointer<QWidget> m_welcome;
    bool m_windowActivated = false; // the window, or one of its sheets, has had the focus since it opened
    // What the user typed into the upload form, and the upload it sent: kept while the window's content is
    // rebuilt at every opening.
    UploadDraft m_uploadDraft;
};

} // namespace pellora
