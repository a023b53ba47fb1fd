#include "platform/SingleInstance.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// What this executable does when a test starts it as another running instance: "primary" serves,
// "frozen" holds the lock but never runs its event loop; as another user, "stranger" serves and
// "impostor" answers "ok" to anyone. Each prints the path of its socket once it is ready.
int runChild(const QString& role, const QString& key)
{
    SingleInstance instance(key);
    QLocalServer impostor;
    QObject::connect(&impostor, &QLocalServer::newConnection, &impostor, [&impostor] {
        while (QLocalSocket* socket = impostor.nextPendingConnection())
            socket->write("ok\n");
    });
    if (role == u"impostor"_s ? !impostor.listen(instance.serverName()) : !instance.tryBecomePrimary())
        return 2;
    std::puts(qPrintable(instance.serverName()));
    std::fflush(stdout);
    if (role == u"frozen"_s) {
        QThread::sleep(60);
        return 0;
    }
    return QCoreApplication::exec();
}

// Starts a child holding the lock (or, for the impostor, serving) and returns its socket's path once it
// does; empty when it failed. QProcess kills it when destroyed.
QString startHolder(QProcess& child, const QString& role, const QString& key)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, role, key});
    QByteArray output;
    while (!output.contains('\n') && child.waitForReadyRead(10000))
        output += child.readAllStandardOutput();
    return output.endsWith('\n') ? QFile::decodeName(output.chopped(1)) : QString();
}

// Makes `path` the kind of folder named: "private" (ours, 0700), "0755" (ours, open to others), "nobody"
// (another user's, 0700) or "link" (a link to the private folder it is in); "" leaves it absent.
bool makeFolder(const QString& path, const QString& kind)
{
    const QByteArray name = QFile::encodeName(path);
    const mode_t mode = kind == u"0755"_s ? 0755 : 0700;
    if (kind == u"link"_s)
        return QFile::link(QFileInfo(path).path(), path);
    return kind.isEmpty() || (::mkdir(name, mode) == 0 && ::chmod(name, mode) == 0 &&
                              (kind != u"nobody"_s || ::chown(name, ::getpwnam("nobody")->pw_uid, 0) == 0));
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    int m_keys = 0;
    const QByteArray m_runtime = qgetenv("XDG_RUNTIME_DIR");

    // Every test gets keys of its own, so a leftover from one cannot decide another.
    QString newKey() { return u"test%1"_s.arg(++m_keys); }

private slots:
    void cleanup()
    {
        qunsetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", m_runtime);
    }

    // A killed primary leaves its lock and socket behind; the next launch takes them over.
    void nextPrimaryTakesOverAfterACrash()
    {
        const QString key = newKey();
        SingleInstance later(key);
        QProcess child;
        QVERIFY(!startHolder(child, u"primary"_s, key).isEmpty());
        QVERIFY(!later.tryBecomePrimary() && later.notifyPrimary()); // answered across processes
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(later.lockFilePath()) && QFileInfo::exists(later.serverName()));
        SingleInstance next(key);
        QVERIFY(next.tryBecomePrimary());
        QSignalSpy activations(&next, &SingleInstance::activationRequested);
        QVERIFY(SingleInstance(key).notifyPrimary());
        QCOMPARE(activations.count(), 1);
    }

    void notifyGivesUpWithoutAnAnswer_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::newRow("primary frozen") << u"frozen"_s;
        // Another user's socket where ours goes: neither brought forward by us nor believed.
        QTest::newRow("another user's primary") << u"stranger"_s;
        QTest::newRow("another user's socket answering ok") << u"impostor"_s;
    }

    void notifyGivesUpWithoutAnAnswer()
    {
        QFETCH(QString, holder);
        const bool stranger = holder == u"stranger"_s || holder == u"impostor"_s;
        if (stranger && ::geteuid() != 0)
            QSKIP("acting as another user needs root");
        const QString key = newKey();
        SingleInstance later(key);
        QProcess child;
        QTemporaryDir strangersRuntime;
        if (stranger) {
            QVERIFY(::chown(QFile::encodeName(strangersRuntime.path()), ::getpwnam("nobody")->pw_uid, 0) == 0);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(strangersRuntime.path()));
        }
        const QString socket = startHolder(child, holder, key);
        QVERIFY(socket == later.serverName() ||
                ::rename(QFile::encodeName(socket), QFile::encodeName(later.serverName())) == 0);
        if (holder == u"stranger"_s) { // not answered even when the client would believe anyone
            QLocalSocket client;
            client.connectToServer(later.serverName());
            QVERIFY(client.waitForConnected(2000) && client.write("activate\n") == 9);
            QVERIFY(!client.waitForReadyRead(2000));
        }

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
        client.connectToServer(primary.serverName());
        QVERIFY(client.waitForConnected(2000));
        client.write(sent);
        client.flush();

        // A proper launch is answered while that client is still connected, and the client is cut off.
        QVERIFY(SingleInstance(key).notifyPrimary());
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(client.readAll(), activates ? "ok\n"_ba : QByteArray());
        QCOMPARE(spy.count(), activates ? 2 : 1);
    }

    // The lock and the socket go only where no other user can put or replace them; without such a folder
    // Pellora runs unguarded rather than trust one.
    void keepsToAPrivateFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // $XDG_RUNTIME_DIR, as makeFolder() makes it
        QTest::addColumn<QString>("own");     // pellora-<uid> in the temporary folder beforehand
        QTest::addColumn<QString>("used");    // "runtime", "own", or "" for none

        QTest::newRow("private runtime folder") << u"private"_s << QString() << u"runtime"_s;
        QTest::newRow("no runtime folder: own one made") << QString() << QString() << u"own"_s;
        QTest::newRow("runtime folder open to others") << u"0755"_s << QString() << u"own"_s;
        QTest::newRow("runtime folder of another user") << u"nobody"_s << u"private"_s << u"own"_s;
        QTest::newRow("runtime folder through a link") << u"link"_s << QString() << u"own"_s;
        QTest::newRow("own folder of another user") << QString() << u"nobody"_s << QString();
        QTest::newRow("own folder open to others") << QString() << u"0755"_s << QString();
    }

    void keepsToAPrivateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, own);
        QFETCH(QString, used);
        if ((runtime == u"nobody"_s || own == u"nobody"_s) && ::geteuid() != 0)
            QSKIP("making another user's folder needs root");
        QTemporaryDir temp;
        const QString runtimePath = temp.filePath(u"runtime"_s);
        const QString ownPath = temp.filePath(u"pellora-%1"_s.arg(::getuid()));
        QVERIFY(makeFolder(runtimePath, runtime) && makeFolder(ownPath, own));
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimePath));

        const QString key = newKey();
        SingleInstance first(key);
        QVERIFY(first.tryBecomePrimary());
        const QString folder = used == u"runtime"_s ? runtimePath : used == u"own"_s ? ownPath : QString();
        QCOMPARE(first.lockFilePath(), folder.isEmpty() ? QString() : folder + u'/' + key + u".lock"_s);
        // Guarded where a folder was found, unguarded where none was.
        QCOMPARE(SingleInstance(key).tryBecomePrimary(), folder.isEmpty());
    }
};

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        const bool stranger = std::strcmp(argv[2], "stranger") == 0 || std::strcmp(argv[2], "impostor") == 0;
        if (stranger && (::setgid(::getpwnam("nobody")->pw_gid) != 0 || ::setuid(::getpwnam("nobody")->pw_uid) != 0))
            return 3;
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
