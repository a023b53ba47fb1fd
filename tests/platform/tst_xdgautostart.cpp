#include "platform/XdgAutostartLoginItem.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

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

        QTest::newRow("space and percent") << u"/opt/my 100%/pellora"_s << u"\"/opt/my 100%%/pellora\""_s;
        // An escape inside the quotes has its backslash escaped again for the string value.
        QTest::newRow("backslash becomes four") << u"/opt/a\\b"_s << u"\"/opt/a\\\\\\\\b\""_s;
        QTest::newRow("dollar and backtick") << u"/opt/$a`b"_s << u"\"/opt/\\\\$a\\\\`b\""_s;
        QTest::newRow("tab and newline") << u"/opt/a\tb\nc"_s << u"\"/opt/a\\tb\\nc\""_s;
    }

    void quotesTheProgramPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(desktopEntryExec(path), exec);
    }

    // Whatever entry was there, and whether the desktop would run it, enabling replaces it whole and disabling
    // removes it. A link at the entry's name is replaced or removed, and what it leads to stays as it was.
    void switchesTheWholeEntry_data()
    {
        QTest::addColumn<bool>("disabling");
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<bool>("enabledBefore");
        QTest::addColumn<QString>("linkTo"); // under the home folder; a trailing slash makes a folder there

        for (const bool disabling : {false, true}) {
            const auto row = [disabling](const char* tag, const QByteArray& earlier, bool enabledBefore,
                                         const QString& linkTo = {}) {
                QTest::addRow("%s %s", disabling ? "disable" : "enable", tag)
                    << disabling << earlier << enabledBefore << linkTo;
            };
            const QByteArray hidden = "[Desktop Entry]\nHidden=true\n";
            row("into a missing folder", {}, false);
            row("hidden, longer", hidden + QByteArray(4096, '#'), false); // nothing of it may survive
            row("GNOME switch off", "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false);
            row("in another group", "[Desktop Entry]\n[Desktop Action a]\nHidden=true\n", true);
            row("link to a file", hidden, false, u"dotfiles/a"_s);
            row("dangling link", {}, false, u"dotfiles/missing.desktop"_s);
            row("link to a folder", {}, false, u"dotfiles/"_s);
        }
    }

    void switchesTheWholeEntry()
    {
        QFETCH(bool, disabling);
        QFETCH(QByteArray, earlier);
        QFETCH(bool, enabledBefore);
        QFETCH(QString, linkTo);
        QTemporaryDir home;
        const QString folder = home.filePath(u"config/autostart"_s);
        XdgAutostartLoginItem item(folder, u"/opt/my 100% \"fun\"/pellora"_s);
        const QString target = linkTo.isEmpty() ? item.entryPath() : home.filePath(linkTo);
        if (!earlier.isNull() || !linkTo.isEmpty())
            QVERIFY(QDir().mkpath(folder) && QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(earlier.isNull() || writeFile(target, earlier));
        QVERIFY(linkTo.isEmpty() || QFile::link(target, item.entryPath()));
        QCOMPARE(item.isEnabled(), enabledBefore);

        QString error;
        QVERIFY2(disabling ? item.disable(&error) : item.enable(&error), qPrintable(error));
        QCOMPARE(item.isEnabled(), !disabling);
        if (!disabling) {
            QCOMPARE(readAll(item.entryPath()),
                     "[Desktop Entry]\n"
                     "Type=Application\n"
                     "Name=Pellora\n"
                     "Comment=A desktop companion that follows an invented persona through its day\n"
                     "Exec=\"/opt/my 100%% \\\\\"fun\\\\\"/pellora\"\n"
                     "Icon=pellora\n"
                     "Terminal=false\n"
                     "X-GNOME-Autostart-enabled=true\n");
        }
        // Written through a temporary file renamed into place: none is left behind.
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 disabling ? QStringList() : QStringList{u"pellora.desktop"_s});
        if (!linkTo.isEmpty()) {
            QVERIFY(!QFileInfo(item.entryPath()).isSymLink());
            QCOMPARE(QFileInfo::exists(target), !earlier.isNull() || linkTo.endsWith(u'/'));
            QVERIFY(earlier.isNull() || readAll(target) == earlier);
            QVERIFY(!linkTo.endsWith(u'/') || QDir(target).isEmpty());
        }
    }

    void reportsWhyItCannotChangeTheEntry_data()
    {
        // What stands in the way inside a config folder, root's included. Where there is no entry to remove,
        // disabling succeeds.
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("removable");

        QTest::newRow("a file where the folder should be") << u"config/autostart"_s << u"Not a directory"_s << false;
        QTest::newRow("a folder where the entry should be")
            << u"config/autostart/pellora.desktop/"_s << u"directory"_s << false;
        // Never a folder made where a link points: only the user's own existing folder is followed.
        QTest::newRow("a link to nowhere as the folder")
            << u"config/autostart -> ../elsewhere"_s << u"File exists"_s << true;
    }

    void reportsWhyItCannotChangeTheEntry()
    {
        QFETCH(QString, blocker);
        QFETCH(QString, reason);
        QFETCH(bool, removable);

        QTemporaryDir home;
        const QStringList link = blocker.split(u" -> "_s);
        const QString path = home.filePath(link.first());
        // A trailing slash makes a folder, anything else a file.
        QVERIFY(QDir().mkpath(blocker.endsWith(u'/') ? path : QFileInfo(path).path()));
        if (link.size() == 2)
            QVERIFY(QFile::link(link.last(), path));
        else
            QVERIFY(blocker.endsWith(u'/') || writeFile(path, "in the way"));

        XdgAutostartLoginItem item(home.filePath(u"config/autostart"_s), u"/usr/bin/pellora"_s);
        QString error, removeError;
        QVERIFY(!item.enable(&error));
        const bool removed = item.disable(&removeError);
        QVERIFY2(error.contains(reason) && error.contains(home.filePath(u"config/autostart"_s)), qPrintable(error));
        QCOMPARE(removed, removable);
        QVERIFY2(removable || (removeError.contains(reason) && removeError.contains(item.entryPath())),
                 qPrintable(removeError));
        QVERIFY(!QFileInfo::exists(home.filePath(u"elsewhere"_s)));
        QCOMPARE(QDir(home.filePath(u"config/autostart"_s)).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestXdgAutostart)
#include "tst_xdgautostart.moc"
