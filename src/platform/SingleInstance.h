#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace pellora {

/// Keeps Pellora to one running instance per user, and lets a later launch bring that instance forward.
///
/// The first launch takes a lock file in a folder only this user can write to ($XDG_RUNTIME_DIR, else
/// `pellora-<uid>` made with mode 0700 in the temporary directory) and listens on a local socket beside it.
/// A later launch fails to take the lock and sends the running instance the line "activate"; it answers
/// "ok". Each side trusts the other only when it runs as the same user.
/// Everything runs on the thread of the object; the primary never blocks on a client.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    /// Objects with different keys do not see each other.
    explicit SingleInstance(const QString& key = QStringLiteral("pellora"), QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Makes this the running instance: takes the lock and starts listening for later launches.
    /// Returns false when a live process holds the lock; a lock left by a process that died is taken
    /// over, and so is the socket it left. When the lock cannot be created at all (an unwritable folder,
    /// or no private one) this warns and returns true, so the application runs unguarded rather than not
    /// at all.
    bool tryBecomePrimary();

    /// From a later launch: asks the running instance to come forward, running a local event loop
    /// while it waits. True when it acknowledged within timeoutMs; false when nobody listens or the
    /// running instance does not answer in time (the caller decides what to do then).
    bool notifyPrimary(int timeoutMs = 2000);

    /// Empty when no private folder could be had.
    QString lockFilePath() const { return m_lockPath; }
    /// The full path of the local socket.
    QString serverName() const { return m_serverName; }

signals:
    /// In the primary: once for each activation message from a later launch.
    void activationRequested();

private:
    void serve(QLocalSocket* socket);

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
};

} // namespace pellora
