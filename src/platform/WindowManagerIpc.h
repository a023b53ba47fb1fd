#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocalSocket>
#include <QObject>
#include <QPoint>
#include <QSet>

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
    // RUN_COMMAND: the payload is a command list, as in the window manager's configuration.
    static constexpr quint32 runCommand = 0;
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

    // One message: the magic "i3-ipc", the payload's length and the type (native byte order), the payload.
    static QByteArray message(quint32 type, const QByteArray& payload);
    // The command putting X11 window `windowId`'s top-left at `position` (root pixels); with `adopt`, it
    // floats the window, makes it sticky and removes its border first.
    static QByteArray holdCommand(quint64 windowId, QPoint position, bool adopt);

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
    void flush();
    void readReplies();
    void handleReply(const QByteArray& payload);

    QString m_path;
    QLocalSocket m_socket;
    QList<QByteArray> m_pending; // written once connected
    QList<Sent> m_awaiting;      // sent or pending, in order: replies come in the same order
    QHash<quint64, Hold> m_holds;
    quint64 m_sequence = 0;
    QByteArray m_received;
};

} // namespace pellora
