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

struct Hold {
    QPoint topLeft;
    bool shownAgain = false;
};

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

Q_DECLARE_METATYPE(Hold)

class TestWindowManagerIpc : public QObject {
    Q_OBJECT

private slots:
    // Each hold and the commands it causes; %1 is the window's id. The test runs at a scale factor of 2:
    // the window manager counts device pixels.
    void holds_data()
    {
        QTest::addColumn<QList<Hold>>("holds");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QList<QStringList>>("commands");

        const QString adopt =
            u"[id=%1] floating enable, sticky enable, border none, move absolute position 1400 1322"_s;
        const QString move = u"[id=%1] move absolute position 1400 906"_s;
        QTest::newRow("floated once, then only moved")
            << QList<Hold>{{{700, 661}}, {{700, 453}}} << QList<bool>{} << QList<QStringList>{{adopt}, {move}};
        QTest::newRow("asked again until the window is known, then moved")
            << QList<Hold>{{{700, 661}}, {{700, 453}}} << QList<bool>{false, false, true}
            << QList<QStringList>{{adopt, adopt, adopt}, {move}};
        QTest::newRow("floated again when shown again")
            << QList<Hold>{{{700, 661}}, {{700, 661}, true}} << QList<bool>{} << QList<QStringList>{{adopt}, {adopt}};
    }

    void holds()
    {
        QFETCH(QList<Hold>, holds);
        QFETCH(QList<bool>, answers);
        QFETCH(QList<QStringList>, commands);
        QTemporaryDir dir;
        FakeWindowManager windowManager(dir.filePath(u"ipc.sock"_s));
        windowManager.answers = answers;
        QWindow window;
        window.create();
        WindowManagerIpc ipc(dir.filePath(u"ipc.sock"_s));

        QList<QByteArray> expected;
        for (qsizetype i = 0; i < holds.size(); ++i) {
            ipc.holdWindowAt(&window, holds[i].topLeft, holds[i].shownAgain);
            for (const QString& command : commands[i])
                expected.append(command.arg(window.winId()).toLatin1());
            QTRY_COMPARE(windowManager.commands, expected);
        }
        QVERIFY(!windowManager.framingBroken);
    }
};

QTEST_MAIN(TestWindowManagerIpc)
#include "tst_windowmanageripc.moc"
