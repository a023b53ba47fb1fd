#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace pellora {

/// Pellora's icon in the system tray ("sparkles"), with a context menu to quit.
class TrayIcon final : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(QObject* parent = nullptr);

    void show();
    QSystemTrayIcon& icon() { return m_icon; }
    QMenu& menu() { return m_menu; }

signals:
    void quitRequested();

private:
    QMenu m_menu;
    QSystemTrayIcon m_icon;
};

} // namespace pellora
