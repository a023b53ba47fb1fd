#include "library/DisplayModeStore.h"
#include "library/SettingsFile.h"
#include "library/SettingsText.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

class TestDisplayModeStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // One file per row: QSettings shares what it has read from a path between its objects.
    QString settingsPath() const
    {
        return m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                              QString::fromLatin1(QTest::currentDataTag()));
    }

    QByteArray storedOnDisk() const
    {
        if (!QFileInfo(settingsPath()).isFile())
            return QFileInfo(settingsPath()).exists() ? "not a file" : QByteArray();
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void restores_data()
    {
        QTest::addColumn<QByteArray>("stored"); // the file's content; null: no file; FIFO, folder: not a file
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<QByteArray>("storedAfter");
        const auto row = [](const char* tag, const QByteArray& value, DisplayMode mode, const QByteArray& after) {
            const auto file = [](const QByteArray& value) {
                return value.isNull() || value == "FIFO" || value == "folder"
                           ? value
                           : "[General]\ndisplay_mode=" + value + '\n';
            };
            QTest::newRow(tag) << file(value) << mode << (after == "not a file" ? after : file(after));
        };
        const DisplayMode strip = DisplayMode::floatingStrip;

        row("nothing stored", QByteArray(), strip, "floatingStrip");
        row("menuBarOnly", "menuBarOnly", DisplayMode::menuBarOnly, "menuBarOnly");
        row("legacy menuBar kept", "menuBar", DisplayMode::menuBarOnly, "menuBar");
        // A value that is no text is replaced; a settings file that is not a file is neither read nor written.
        row("serialized \"menuBar\" is no text", R"(@Variant(\0\0\0\n\0\0\0\xe\0m\0\x65\0n\0u\0\x42\0\x61\0r))", strip,
            "floatingStrip");
        row("FIFO", "FIFO", strip, "not a file");
        row("folder", "folder", strip, "not a file");
    }

    void restores()
    {
        QFETCH(QByteArray, stored);
        QFETCH(DisplayMode, mode);
        QFETCH(QByteArray, storedAfter);
        const QByteArray path = QFile::encodeName(settingsPath());
        if (stored == "FIFO")
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        else if (stored == "folder")
            QVERIFY(QDir().mkdir(settingsPath()));
        else if (!stored.isNull())
            QVERIFY(writeFile(settingsPath(), stored));

        const std::unique_ptr<QSettings> settings = openSettings(settingsPath());
        DisplayModeStore store(settings.get());
        QCOMPARE(store.mode(), mode);
        QCOMPARE(storedOnDisk(), storedAfter);

        // An assignment publishes and is stored at once, even of the mode already held (over a legacy text,
        // for one); where it cannot be stored, it still holds for the session.
        QSignalSpy changes(&store, &DisplayModeStore::modeChanged);
        store.setMode(DisplayMode::menuBarOnly);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(settingsText(*settings, DisplayModeStore::key), std::optional(u"menuBarOnly"_s));
        QCOMPARE(storedOnDisk(),
                 storedAfter == "not a file" ? storedAfter : "[General]\ndisplay_mode=menuBarOnly\n"_ba);
    }
};

QTEST_GUILESS_MAIN(TestDisplayModeStore)
#include "tst_displaymodestore.moc"
