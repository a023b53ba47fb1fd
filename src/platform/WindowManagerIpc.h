#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocalSocket>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QTimer>

#include <memory>

class QWindow;

namespace pellora {

/// Talks to a window manager that speaks the i3 IPC protocol (i3 and sway). Such a window manager tiles
/// or centres new windows and shows them on one workspace; asked over its socket, it floats a window,
/// keeps it on every workspace and puts it where asked. Never blocks: commands go out once the socket is
/// connected, replies are read as they come, and failures are only logged (category pellora.wm, debug).
class WindowManagerIpc final : public QObject {
    Q_OBJECT

public:
    // Message types. RUN_COMMAND: the payload is a command list, as in the window manager's configuration.
    static constexpr quint32 runCommand = 0;
    static constexpr quint32 getWorkspaces = 1;
    static constexpr quint32 subscribe = 2;
    // A refused hold is asked again this many times, at growing intervals: sway knows an X11 window only
    // once its surface is mapped, a moment after the window itself.
    static constexpr int maxAttempts = 8;

    explicit WindowManagerIpc(QString socketPath, QObject* parent = nullptr);

    // The window manager named by SWAYSOCK or I3SOCK, for windows of X11 (including XWayland, whose
    // window ids both know); none elsewhere.
    static std::unique_ptr<WindowManagerIpc> fromEnvironment(QObject* parent = nullptr);

    // Puts `window`'s top-left at `topLeft` (Qt's coordinates). The first time, and again when
    // `shownAgain` (the window manager forgets a hidden window), it also floats the window and shows it
    // on every workspace, without a border.
    void holdWindowAt(const QWindow* window, QPoint topLeft, bool shownAgain);
    // Asks that `window` not be given the focus when it is mapped (sway focuses a new XWayland window
    // whatever its input hint says); once per window. Call before showing it.
    void keepFromFocus(const QWindow* window);

    // Reports workAreasChanged() now and whenever a workspace, a window or a bar changes, reconnecting
    // if the window manager restarts. Bars that are not X11 windows (swaybar) are known only this way.
    void watchWorkAreas();

    // One message: the magic "i3-ipc", the payload's length and the type (native byte order), the payload.
    static QByteArray message(quint32 type, const QByteArray& payload);
    // The command putting X11 window `windowId`'s top-left at `position` (root pixels); with `adopt`, it
    // floats the window, makes it sticky and removes its border first.
    static QByteArray holdCommand(quint64 windowId, QPoint position, bool adopt);

signals:
    // The usable area of each output, as the rectangles of its visible workspace (root pixels).
    void workAreasChanged(const QList<QRect>& areas);

private:
    struct Sent {
        quint64 window;
        quint64 sequence;
        bool adopt;
    };
    struct Hold {
        QPoint position;
        quint64 sequence = 0; // of the last command sent for the window
        int attempts = 0;
        bool adopted = false;
    };

    void sendHold(quint64 window);
    void send(quint32 type, const QByteArray& payload);
    void flush();
    void readReplies();
    void handleReply(const QByteArray& payload);
    void handleWorkspaces(const QByteArray& payload);
    void subscribeToChanges();
    void askWorkspaces();
    void reconnectLater();

    QString m_path;
    QLocalSocket m_socket;
    QList<QByteArray> m_pending; // written once connected
    QList<Sent> m_awaiting;      // sent or pending, in order: replies come in the same order
    QHash<quint64, Hold> m_holds;
    quint64 m_sequence = 0;
    QByteArray m_received;
    QSet<quint64> m_unfocused; // windows asked to be kept from focus
    bool m_watching = false;
    bool m_workspacesAsked = false; // a GET_WORKSPACES is unanswered
    bool m_askAgain = false;        // something changed while it was
    QList<QRect> m_workAreas;
    QTimer m_reconnect;
    int m_reconnectDelay = 0;
};

} // namespace pellora
