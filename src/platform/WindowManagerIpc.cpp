#include "platform/WindowManagerIpc.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <utility>

Q_LOGGING_CATEGORY(lcWindowManager, "pellora.wm", QtInfoMsg)

namespace pellora {
namespace {

constexpr QByteArrayView magic = "i3-ipc";
constexpr qsizetype headerSize = magic.size() + 2 * sizeof(quint32);
// The high bit of a message's type marks an event, as opposed to the reply to a request.
constexpr quint32 eventBit = 0x80000000u;

} // namespace

WindowManagerIpc::WindowManagerIpc(QString socketPath, QObject* parent) : QObject(parent), m_path(std::move(socketPath))
{
    connect(&m_socket, &QLocalSocket::connected, this, &WindowManagerIpc::flush);
    connect(&m_socket, &QLocalSocket::readyRead, this, &WindowManagerIpc::readReplies);
    connect(&m_socket, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError) {
        qCDebug(lcWindowManager) << "window manager socket" << m_path << m_socket.errorString();
        // What was not answered is dropped; the next hold connects afresh.
        m_pending.clear();
        m_awaiting.clear();
        m_received.clear();
        m_workspacesAsked = false;
        m_socket.abort();
        if (m_watching)
            reconnectLater();
    });
    m_reconnect.setSingleShot(true);
    // Subscriptions end with the connection (i3 closes it when it restarts): subscribe again.
    connect(&m_reconnect, &QTimer::timeout, this, &WindowManagerIpc::subscribeToChanges);
}

std::unique_ptr<WindowManagerIpc> WindowManagerIpc::fromEnvironment(QObject* parent)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    for (const char* variable : {"SWAYSOCK", "I3SOCK"}) {
        const QString path = qEnvironmentVariable(variable);
        if (!path.isEmpty())
            return std::make_unique<WindowManagerIpc>(path, parent);
    }
    return nullptr;
}

QByteArray WindowManagerIpc::message(quint32 type, const QByteArray& payload)
{
    QByteArray result(magic.data(), magic.size());
    const auto length = quint32(payload.size());
    result.append(reinterpret_cast<const char*>(&length), sizeof length);
    result.append(reinterpret_cast<const char*>(&type), sizeof type);
    return result + payload;
}

QByteArray WindowManagerIpc::holdCommand(quint64 windowId, QPoint position, bool adopt)
{
    // "absolute": on sway a plain position counts from the workspace's output, not from all outputs. The
    // sticky state is asked for once per showing: i3 adds it to the window's properties again on each ask.
    return QStringLiteral("[id=%1] %2move absolute position %3 %4")
        .arg(windowId)
        .arg(adopt ? QStringLiteral("floating enable, sticky enable, border none, ") : QString())
        .arg(position.x())
        .arg(position.y())
        .toLatin1();
}

void WindowManagerIpc::holdWindowAt(const QWindow* window, QPoint topLeft, bool shownAgain)
{
    if (!window)
        return;
    // Qt keeps a screen's top-left in device pixels and scales distances from it.
    QPoint position = topLeft;
    if (const QScreen* screen = window->screen()) {
        const QPoint origin = screen->geometry().topLeft();
        position = origin + (topLeft - origin) * screen->devicePixelRatio();
    }
    const quint64 id = window->winId();
    Hold& hold = m_holds[id];
    hold.position = position;
    hold.attempts = 0;
    if (shownAgain)
        hold.adopted = false;
    sendHold(id);
}

void WindowManagerIpc::keepFromFocus(const QWindow* window)
{
    if (!window)
        return;
    const quint64 id = window->winId();
    if (m_unfocused.contains(id))
        return;
    m_unfocused.insert(id);
    // i3 knows no_focus only in its configuration and refuses it here; it heeds the window's input hint.
    m_awaiting.append({0, 0, false});
    send(runCommand, QStringLiteral("no_focus [id=%1]").arg(id).toLatin1());
    // Ahead of the window's own map request, which goes through the X server first.
    m_socket.flush();
}

void WindowManagerIpc::watchWorkAreas()
{
    if (!std::exchange(m_watching, true))
        subscribeToChanges();
}

void WindowManagerIpc::subscribeToChanges()
{
    // Both window managers know these events; sway 1.7 refuses a list that names "output", so it goes alone.
    send(subscribe, R"(["workspace","window","barconfig_update"])");
    send(subscribe, R"(["output"])");
    askWorkspaces();
}

void WindowManagerIpc::askWorkspaces()
{
    // One question at a time: events come in bursts, and the answer to the last one covers them all.
    if (m_workspacesAsked) {
        m_askAgain = true;
        return;
    }
    m_workspacesAsked = true;
    send(getWorkspaces, {});
}

void WindowManagerIpc::reconnectLater()
{
    m_reconnectDelay = std::clamp(m_reconnectDelay * 2, 1000, 30000);
    m_reconnect.start(m_reconnectDelay);
}

void WindowManagerIpc::sendHold(quint64 window)
{
    Hold& hold = m_holds[window];
    hold.sequence = ++m_sequence;
    m_awaiting.append({window, hold.sequence, !hold.adopted});
    send(runCommand, holdCommand(window, hold.position, !hold.adopted));
}

void WindowManagerIpc::send(quint32 type, const QByteArray& payload)
{
    m_pending.append(message(type, payload));
    if (m_socket.state() == QLocalSocket::UnconnectedState)
        m_socket.connectToServer(m_path);
    else
        flush();
}

void WindowManagerIpc::flush()
{
    if (m_socket.state() != QLocalSocket::ConnectedState)
        return;
    for (const QByteArray& pending : std::as_const(m_pending))
        m_socket.write(pending);
    m_pending.clear();
}

void WindowManagerIpc::readReplies()
{
    m_received += m_socket.readAll();
    while (m_received.size() >= headerSize) {
        if (!m_received.startsWith(magic)) {
            qCDebug(lcWindowManager) << "unexpected reply from the window manager";
            m_socket.abort(); // out of step: start afresh with the next hold
            return;
        }
        quint32 length = 0;
        quint32 type = 0;
        std::memcpy(&length, m_received.constData() + magic.size(), sizeof length);
        std::memcpy(&type, m_received.constData() + magic.size() + sizeof length, sizeof type);
        if (m_received.size() < headerSize + qsizetype(length))
            return;
        const QByteArray payload = m_received.mid(headerSize, length);
        m_received.remove(0, headerSize + length);
        if (type & eventBit)
            askWorkspaces();
        else if (type == runCommand)
            handleReply(payload);
        else if (type == getWorkspaces)
            handleWorkspaces(payload);
    }
}

void WindowManagerIpc::handleWorkspaces(const QByteArray& payload)
{
    m_workspacesAsked = false;
    m_reconnectDelay = 0;
    if (std::exchange(m_askAgain, false))
        askWorkspaces();
    QList<QRect> areas;
    for (const QJsonValue& workspace : QJsonDocument::fromJson(payload).array()) {
        if (!workspace[QLatin1String("visible")].toBool())
            continue;
        const QJsonValue rect = workspace[QLatin1String("rect")];
        areas.append(QRect(rect[QLatin1String("x")].toInt(), rect[QLatin1String("y")].toInt(),
                           rect[QLatin1String("width")].toInt(), rect[QLatin1String("height")].toInt()));
    }
    if (areas == m_workAreas)
        return;
    m_workAreas = areas;
    emit workAreasChanged(m_workAreas);
}

void WindowManagerIpc::handleReply(const QByteArray& payload)
{
    if (m_awaiting.isEmpty())
        return;
    const Sent sent = m_awaiting.takeFirst();
    // One {"success": …, "error": …} per command of the list.
    bool success = true;
    for (const QJsonValue& outcome : QJsonDocument::fromJson(payload).array()) {
        if (!outcome.toObject().value(QLatin1String("success")).toBool()) {
            success = false;
            qCDebug(lcWindowManager) << "the window manager refused:"
                                     << outcome.toObject().value(QLatin1String("error")).toString();
        }
    }
    const auto found = m_holds.find(sent.window);
    if (found == m_holds.end() || found->sequence != sent.sequence)
        return; // a later hold for the window is on its way
    if (success) {
        found->adopted = found->adopted || sent.adopt;
    } else if (++found->attempts < maxAttempts) {
        const quint64 window = sent.window;
        QTimer::singleShot(50 << found->attempts, this, [this, window] {
            if (m_holds.contains(window))
                sendHold(window);
        });
    }
}

} // namespace pellora
