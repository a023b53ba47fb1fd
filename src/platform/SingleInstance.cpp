#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QTimer>

#include <cerrno>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellora {

namespace {

Q_LOGGING_CATEGORY(lcSingleInstance, "pellora.singleinstance")

const QByteArray activateLine = QByteArrayLiteral("activate");
const QByteArray okLine = QByteArrayLiteral("ok");

// Both lines are a few bytes; anything longer is not one of ours and is not read further.
constexpr qsizetype maxLineLength = 64;
// A client that has not sent its line by then is cut off, so silent clients cannot pile up.
constexpr int clientTimeoutMs = 2000;
// A primary that just took the lock may not be listening yet; a later launch tries again this often.
constexpr int connectRetryMs = 50;

enum class LineState { incomplete, complete, invalid };

// Reads from the socket into buffer, never past maxLineLength; on complete, buffer holds the line.
LineState readLine(QLocalSocket& socket, QByteArray& buffer)
{
    buffer += socket.read(maxLineLength - buffer.size());
    const qsizetype end = buffer.indexOf('\n');
    if (end >= 0) {
        buffer.truncate(end);
        return LineState::complete;
    }
    return buffer.size() >= maxLineLength ? LineState::invalid : LineState::incomplete;
}

QString fileNameSafe(QString text)
{
    for (QChar& c : text) {
        const bool safe = (c.unicode() < 128 && c.isLetterOrNumber()) || c == u'-' || c == u'_' || c == u'.';
        if (!safe)
            c = u'_';
    }
    return text;
}

// A folder nobody but this user can put a lock or a socket in: a real directory (not a link), ours,
// with no permission for group or others.
bool isPrivateFolder(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Where the lock and the socket live: $XDG_RUNTIME_DIR when it is private, else our own folder in the
// temporary directory, made for the purpose (a shared /tmp, where another user could have made the name
// first). Empty when neither can be trusted.
QString instanceDirectory()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    const QByteArray own = QFile::encodeName(QDir::tempPath() + QStringLiteral("/pellora-%1").arg(::getuid()));
    if (::mkdir(own.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QString();
    return isPrivateFolder(own) ? QFile::decodeName(own) : QString();
}

// Whether the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr descriptor)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && length == sizeof peer &&
           peer.uid == ::getuid();
}

void drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent)
{
    const QString dir = instanceDirectory();
    if (dir.isEmpty())
        return;
    const QString base = dir + u'/' + fileNameSafe(key);
    m_lockPath = base + QStringLiteral(".lock");
    m_serverName = base + QStringLiteral(".socket");
}

SingleInstance::~SingleInstance()
{
    // Stop listening (which removes the socket file) before the lock is released, so a new primary
    // never finds our socket still in place.
    if (m_server)
        m_server->close();
}

bool SingleInstance::tryBecomePrimary()
{
    if (m_primary)
        return true;
    if (m_lockPath.isEmpty()) {
        qCWarning(lcSingleInstance)
            << "neither $XDG_RUNTIME_DIR nor" << QDir::tempPath() + QStringLiteral("/pellora-<uid>")
            << "is a folder only this user can write to - running without the single-instance guard";
        m_primary = true;
        return true;
    }

    auto lock = std::make_unique<QLockFile>(m_lockPath);
    // Never stale by age: only when its owner is gone, which tryLock checks by the recorded process id.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        qCWarning(lcSingleInstance) << "cannot create" << m_lockPath << "- running without the single-instance guard";
        m_primary = true;
        return true;
    }
    m_lock = std::move(lock);
    m_primary = true;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket file still there was left by a primary that crashed.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        qCWarning(lcSingleInstance) << "cannot listen on" << m_serverName << ":" << m_server->errorString();
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            serve(socket);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* socket)
{
    // Only the same user may bring us forward.
    if (!peerIsThisUser(socket->socketDescriptor())) {
        drop(socket);
        return;
    }
    auto* timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, socket, [socket] { drop(socket); });
    timeout->start(clientTimeoutMs);

    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer = QByteArray(), done = false]() mutable {
        if (done)
            return;
        const LineState state = readLine(*socket, buffer);
        if (state == LineState::incomplete)
            return;
        done = true;
        if (state == LineState::invalid || buffer != activateLine) {
            drop(socket);
            return;
        }
        socket->write(okLine + '\n');
        // Closes once the answer is written; the timeout still covers a client that stops reading.
        socket->disconnectFromServer();
        emit activationRequested();
    });
}

bool SingleInstance::notifyPrimary(int timeoutMs)
{
    if (m_serverName.isEmpty())
        return false;
    QEventLoop loop;
    QLocalSocket socket;
    QTimer retry;
    QTimer giveUp;
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray reply;
    bool acknowledged = false;

    const auto readReply = [&] {
        const LineState state = readLine(socket, reply);
        if (state == LineState::incomplete)
            return false;
        acknowledged = state == LineState::complete && reply == okLine;
        loop.quit();
        return true;
    };

    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, &loop, [&] { socket.connectToServer(m_serverName); });
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::connected, &loop, [&] {
        // An "ok" from a socket another user serves is no running Pellora of ours.
        if (peerIsThisUser(socket.socketDescriptor()))
            socket.write(activateLine + '\n');
        else
            loop.quit();
    });
    connect(&socket, &QLocalSocket::readyRead, &loop, readReply);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, [&](QLocalSocket::LocalSocketError error) {
        if (socket.bytesAvailable() > 0 && readReply())
            return;
        const bool notListeningYet =
            error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError;
        if (notListeningYet && deadline.remainingTime() > connectRetryMs) {
            socket.abort();
            retry.start(connectRetryMs);
            return;
        }
        loop.quit();
    });

    // Connecting from inside the loop: a failure reported during connectToServer() must reach a
    // running loop, or its quit() would be lost.
    retry.start(0);
    giveUp.start(timeoutMs);
    loop.exec();

    socket.disconnect();
    socket.abort();
    return acknowledged;
}

} // namespace pellora
