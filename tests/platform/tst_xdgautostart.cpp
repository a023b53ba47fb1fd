#include "platform/XdgAutostartLoginItem.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestXdgAutostart : public QObject {
    Q_OBJECT

private slots:
    void quotesTheProgramPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");

        QTest::newRow("plain") << u"/usr/bin/pellora"_s << u"/usr/bin/pellora"_s;
        // Not a reserved character, so no quotes, but a field code unless doubled.
        QTest::newRow("percent") << u"/opt/100%/pellora"_s << u"/opt/100%%/pellora"_s;
        QTest::newRow("space and percent") << u"/opt/my 100%/pellora"_s << u"\"/opt/my 100%%/pellora\""_s;
        // An escape inside the quotes has its backslash escaped again for the string value.
        QTest::newRow("double quote") << u"/opt/say \"hi\"/pellora"_s << u"\"/opt/say \\\\\"hi\\\\\"/pellora\""_s;
        QTest::newRow("backslash becomes four") << u"/opt/a\\b"_s << u"\"/opt/a\\\\\\\\b\""_s;
        QTest::newRow("dollar and backtick") << u"/opt/$a`b"_s << u"\"/opt/\\\\$a\\\\`b\""_s;
        QTest::newRow("single quote, no escape") << u"/opt/it's"_s << u"\"/opt/it's\""_s;
        QTest::newRow("tab and newline") << u"/opt/a\tb\nc"_s << u"\"/opt/a\\tb\\nc\""_s;
    }

    void quotesTheProgramPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(desktopEntryExec(path), exec);
    }

    void writesTheEntryIntoAMissingFolder()
    {
        QTemporaryDir home;
        XdgAutostartLoginItem item(home.filePath(u"config/autostart"_s), u"/opt/my 100% \"fun\"/pellora"_s);
        QVERIFY(!item.isEnabled());

        QString error;
        QVERIFY2(item.enable(&error), qPrintable(error));

        QCOMPARE(item.entryPath(), home.filePath(u"config/autostart/pellora.desktop"_s));
        QCOMPARE(readAll(item.entryPath()),
                 "[Desktop Entry]\n"
                 "Type=Application\n"
                 "Name=Pellora\n"
                 "Comment=A desktop companion that follows an invented persona through its day\n"
                 "Exec=\"/opt/my 100%% \\\\\"fun\\\\\"/pellora\"\n"
                 "Icon=pellora\n"
                 "Terminal=false\n"
                 "X-GNOME-Autostart-enabled=true\n");
        QVERIFY(item.isEnabled());
    }

    void replacesAnEarlierEntryWhole()
    {
        QTemporaryDir folder;
        XdgAutostartLoginItem item(folder.path(), u"/usr/bin/pellora"_s);
        // A longer entry the user switched off: nothing of it may survive.
        QVERIFY(writeFile(item.entryPath(), "[Desktop Entry]\nHidden=true\n" + QByteArray(4096, '#')));
        QVERIFY(!item.isEnabled());

        QVERIFY(item.enable(nullptr));

        QCOMPARE(readAll(item.entryPath()), autostartEntry(u"/usr/bin/pellora"_s));
        QVERIFY(item.isEnabled());
        // Written through a temporary file renamed into place: none is left behind.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"pellora.desktop"_s});
    }

    void readsTheDesktopsOffSwitches_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("GNOME switch off") << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("hidden=false") << QByteArray("[Desktop Entry]\nHidden=false\n") << true;
        QTest::newRow("in another group") << QByteArray("[Desktop Entry]\n[Desktop Action a]\nHidden=true\n") << true;
    }

    void readsTheDesktopsOffSwitches()
    {
        QFETCH(QByteArray, entry);
        QFETCH(bool, enabled);

        QTemporaryDir folder;
        XdgAutostartLoginItem item(folder.path(), u"/usr/bin/pellora"_s);
        QVERIFY(writeFile(item.entryPath(), entry));
        QCOMPARE(item.isEnabled(), enabled);
    }

    void reportsWhyItCannotWrite_data()
    {
        // What stands in the way, inside a config folder: permissions do not stop root, these do.
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("blockerIsFolder");
        QTest::addColumn<QString>("reason");

        QTest::newRow("a file where the folder should be") << u"config/autostart"_s << false << u"Not a directory"_s;
        QTest::newRow("a file above the folder") << u"config"_s << false << u"Not a directory"_s;
        QTest::newRow("a folder where the entry should be")
            << u"config/autostart/pellora.desktop"_s << true << u"directory"_s;
    }

    void reportsWhyItCannotWrite()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, blockerIsFolder);
        QFETCH(QString, reason);

        QTemporaryDir home;
        const QString path = home.filePath(blocker);
        QVERIFY(QDir().mkpath(blockerIsFolder ? path : QFileInfo(path).path()));
        QVERIFY(blockerIsFolder || writeFile(path, "in the way"));

        XdgAutostartLoginItem item(home.filePath(u"config/autostart"_s), u"/usr/bin/pellora"_s);
        QString error;
        QVERIFY(!item.enable(&error));
        QVERIFY2(error.contains(reason) && error.contains(home.filePath(u"config/autostart"_s)), qPrintable(error));
    }

    void reportsAReadOnlyFolder()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir folder;
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        XdgAutostartLoginItem item(folder.path(), u"/usr/bin/pellora"_s);
        QString error;
        const bool enabled = item.enable(&error);
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!enabled);
        QVERIFY2(error.contains(item.entryPath()), qPrintable(error));
    }

    void defaultsToTheUsersAutostartFolderAndThisProgram()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        XdgAutostartLoginItem item;
        QVERIFY(item.enable(nullptr));
        QCOMPARE(readAll(config.filePath(u"autostart/pellora.desktop"_s)),
                 autostartEntry(QCoreApplication::applicationFilePath()));
    }
};

QTEST_GUILESS_MAIN(TestXdgAutostart)
#include "tst_xdgautostart.moc"
