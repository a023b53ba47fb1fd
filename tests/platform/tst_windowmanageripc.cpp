#include "platform/WindowManagerIpc.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <cstring>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// Stands in for the window manager: reads each message, checks its framing, keeps its command and
// answers with the next of `answers` (success once they run out).
class FakeWindowManager : public QObject {
public:
    QList<QByteArray> commands;
    QList<bool> answers;
    bool framingBroken = false;

    explicit FakeWindowManager(const QString& path)
    {
        QVERIFY(m_server.listen(path));
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* client = m_server.nextPendingConnection();
            connect(client, &QLocalSocket::readyRead, this, [this, client] { read(client); });
        });
    }

private:
    void read(QLocalSocket* client)
    {
        m_buffer += client->readAll();
        while (m_buffer.size() >= 14) {
            quint32 length = 0, type = 0;
            std::memcpy(&length, m_buffer.constData() + 6, 4);
            std::memcpy(&type, m_buffer.constData() + 10, 4);
            if (!m_buffer.startsWith("i3-ipc") || type != WindowManagerIpc::runCommand)
                framingBroken = true;
            if (m_buffer.size() < 14 + qsizetype(length))
                return;
            commands.append(m_buffer.mid(14, length));
            m_buffer.remove(0, 14 + length);
            const bool success = answers.isEmpty() || answers.takeFirst();
            client->write(WindowManagerIpc::message(
                type, success ? R"([{"success":true}])" : R"([{"success":false,"error":"No matching node."}])"));
        }
    }

    QLocalServer m_server;
    QByteArray m_buffer;
};

} // namespace

class TestWindowManagerIpc : public QObject {
    Q_OBJECT

private slots:
    // The test runs at a scale factor of 2: the window manager counts device pixels.
    void holds()
    {
        QTemporaryDir dir;
        FakeWindowManager windowManager(dir.filePath(u"ipc.sock"_s));
        windowManager.answers = {false, false, true}; // the window is not known at first
        QWindow window;
        window.create();
        WindowManagerIpc ipc(dir.filePath(u"ipc.sock"_s));
        const QByteArray id = "[id=" + QByteArray::number(window.winId()) + "] ";
        const QByteArray adopt = id + "floating enable, sticky enable, border none, move absolute position 1400 1322";
        const QByteArray move = id + "move absolute position 1400 906";

        // Asked again until the window is known, then only moved; floated again when shown again.
        ipc.holdWindowAt(&window, {700, 661}, false);
        QTRY_COMPARE(windowManager.commands, (QList<QByteArray>{adopt, adopt, adopt}));
        ipc.holdWindowAt(&window, {700, 453}, false);
        QTRY_COMPARE(windowManager.commands.mid(3), QList<QByteArray>{move});
        ipc.holdWindowAt(&window, {700, 661}, true);
        QTRY_COMPARE(windowManager.commands.mid(4), QList<QByteArray>{adopt});
        QVERIFY(!windowManager.framingBroken);
    }
};

QTEST_MAIN(TestWindowManagerIpc)
#include "tst_windowmanageripc.moc"
