#pragma once

#include "upload/UploadDraft.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

class QSettings;

namespace pellora {

class AppDelegate;
class ContentView;
class FloatingPanel;
class LoginItem;

// Where the tray window opens: centred under (or, near the bottom of the screen, over) the tray icon,
// or at the pointer when the tray gives no icon geometry; always inside the available area.
QRect trayWindowGeometry(const QRect& iconGeometry, const QSize& size, const QRect& available, const QPoint& cursor);

/// The tray side of the app: the sparkles tray icon, its menu ("打开", "退出") and its window with the
/// title, the clock and the three commands. The first opening of that window on a user account offers
/// the welcome dialog. While no tray is there (at login the tray may start after Pellora), the strip's
/// context menu offers the same entries, and the scene keeps looking for a tray.
class TrayScene final : public QObject {
    Q_OBJECT

public:
    static inline const QString firstLaunchKey = QStringLiteral("hasLaunchedBefore");
    static constexpr int windowWidth = 360;

    TrayScene(AppDelegate& delegate, QSettings* settings, LoginItem& loginItem, QObject* parent = nullptr);
    ~TrayScene() override;

    // Shows the tray icon as soon as a tray is there, and hands the strip the fallback menu meanwhile.
    void start();

    // Opens the tray window with fresh content (and the welcome sheet the first time).
    void openWindow();
    void toggleWindow();
    FloatingPanel* window() const { return m_window; }
    ContentView* content() const;
    bool trayIconVisible() const { return m_tray != nullptr; }
    QMenu& menu() { return m_menu; }

signals:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void waitForTray();
    void createTrayIcon();
    void checkFirstLaunch();
    void hideWhenInactive();

    AppDelegate& m_delegate;
    QSettings* m_settings;
    LoginItem& m_loginItem;
    QMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QTimer m_trayWait;
    int m_trayChecks = 0;
    QPointer<FloatingPanel> m_window;
    QPointer<QWidget> m_welcome;
    // What the user typed into the upload form, and the upload it sent: kept while the window's content is
    // rebuilt at every opening.
    UploadDraft m_uploadDraft;
};

} // namespace pellora
