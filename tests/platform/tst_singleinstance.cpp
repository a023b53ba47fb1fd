#include "platform/Compositing.h"
#include "platform/SingleInstance.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <cstring>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// What this executable does when a test starts it as another running instance: "primary" serves,
// "frozen" holds the lock but never runs its event loop.
int runChild(const QString& role, const QString& key)
{
    SingleInstance instance(key);
    if (!instance.tryBecomePrimary())
        return 2;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    if (role == u"frozen"_s) {
        QThread::sleep(60);
        return 0;
    }
    return QCoreApplication::exec();
}

// Starts a child holding the lock and returns once it does. QProcess kills it when destroyed.
bool startHolder(QProcess& child, const QString& role, const QString& key)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, role, key});
    QByteArray output;
    while (!output.contains('\n') && child.waitForReadyRead(10000))
        output += child.readAllStandardOutput();
    return output == "ready\n";
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    int m_keys = 0;

    // Every test gets keys of its own, so a leftover from one cannot decide another.
    QString newKey() { return u"test%1"_s.arg(++m_keys); }

    // A new instance becomes the primary for `key` and answers a later launch exactly once.
    static bool takesOver(const QString& key)
    {
        SingleInstance next(key);
        if (!next.tryBecomePrimary())
            return false;
        QSignalSpy activations(&next, &SingleInstance::activationRequested);
        return SingleInstance(key).notifyPrimary() && activations.count() == 1;
    }

private slots:
    void cleanup() { qunsetenv("PELLORA_ASSUME_COMPOSITOR"); }

    void laterLaunchActivatesItsOwnPrimaryOncePerMessage()
    {
        const QString key = newKey();
        SingleInstance primary(key);
        SingleInstance otherKey(newKey());
        QVERIFY(primary.tryBecomePrimary());
        QVERIFY(otherKey.tryBecomePrimary());
        QSignalSpy activations(&primary, &SingleInstance::activationRequested);
        QSignalSpy otherActivations(&otherKey, &SingleInstance::activationRequested);

        SingleInstance later(key);
        QVERIFY(!later.tryBecomePrimary());
        QVERIFY(later.notifyPrimary());
        QCOMPARE(activations.count(), 1);
        QVERIFY(later.notifyPrimary());
        QTest::qWait(50);
        QCOMPARE(activations.count(), 2);
        QCOMPARE(otherActivations.count(), 0);
    }

    void quittingPrimaryHandsOverCleanly()
    {
        const QString key = newKey();
        QString socketPath;
        {
            SingleInstance first(key);
            QVERIFY(first.tryBecomePrimary());
            socketPath = first.serverName();
            QVERIFY(QFileInfo::exists(socketPath));
        }
        QVERIFY(!QFileInfo::exists(socketPath));
        QVERIFY(takesOver(key));
    }

    void takesOverFromACrashedPrimary()
    {
        const QString key = newKey();
        QProcess crashing;
        QVERIFY(startHolder(crashing, u"primary"_s, key));
        // While it lives, the other process is the primary and answers across processes.
        SingleInstance later(key);
        QVERIFY(!later.tryBecomePrimary());
        QVERIFY(later.notifyPrimary());

        crashing.kill();
        QVERIFY(crashing.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(later.lockFilePath()) && QFileInfo::exists(later.serverName()));
        QVERIFY(takesOver(key));
    }

    void notifyGivesUpWithoutAnAnswer_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::newRow("nobody running") << QString();
        QTest::newRow("primary frozen") << u"frozen"_s;
    }

    void notifyGivesUpWithoutAnAnswer()
    {
        QFETCH(QString, holder);
        const QString key = newKey();
        QProcess child;
        if (!holder.isEmpty())
            QVERIFY(startHolder(child, holder, key));

        SingleInstance later(key);
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!later.notifyPrimary(400));
        QVERIFY2(elapsed.elapsed() < 2000, qPrintable(u"waited %1 ms"_s.arg(elapsed.elapsed())));
        child.kill();
        child.waitForFinished();
    }

    void misbehavingClientsDoNotBreakThePrimary_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("activates"); // answered "ok" and counted once

        QTest::newRow("silent") << QByteArray() << false;
        QTest::newRow("unfinished line") << "activ"_ba << false;
        QTest::newRow("unknown line") << "raise\n"_ba << false;
        QTest::newRow("binary") << QByteArray("\0\xff\n", 3) << false;
        QTest::newRow("endless line") << QByteArray(4096, 'a') << false;
        QTest::newRow("two lines at once") << "activate\nactivate\n"_ba << true;
    }

    void misbehavingClientsDoNotBreakThePrimary()
    {
        QFETCH(QByteArray, sent);
        QFETCH(bool, activates);
        const QString key = newKey();
        SingleInstance primary(key);
        QVERIFY(primary.tryBecomePrimary());
        QSignalSpy spy(&primary, &SingleInstance::activationRequested);

        QLocalSocket client;
        QByteArray received;
        connect(&client, &QLocalSocket::readyRead, &client, [&] { received += client.readAll(); });
        client.connectToServer(primary.serverName());
        QVERIFY(client.waitForConnected(2000));
        client.write(sent);
        client.flush();

        // A proper launch is answered while that client is still connected.
        QVERIFY(SingleInstance(key).notifyPrimary());
        QTRY_COMPARE(spy.count(), activates ? 2 : 1);

        // And the client does not stay connected forever.
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 5000);
        received += client.readAll();
        QCOMPARE(received, activates ? "ok\n"_ba : QByteArray());
        QCOMPARE(spy.count(), activates ? 2 : 1);
    }

    void compositingOverrideAnswersFirst()
    {
        // The tests run on the offscreen platform, which always composites.
        QVERIFY(compositingManagerRunning());
        qputenv("PELLORA_ASSUME_COMPOSITOR", "0");
        QVERIFY(!compositingManagerRunning());
        qputenv("PELLORA_ASSUME_COMPOSITOR", "1");
        QVERIFY(compositingManagerRunning());
    }
};

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }

    // Lock files and sockets of this run, its children's included, live here and nowhere else. Set
    // before the application exists, which asks for the runtime directory itself.
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid())
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QGuiApplication app(argc, argv);

    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
