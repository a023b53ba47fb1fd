#include "app/DisplayModeStore.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestDisplayModeStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString settingsPath() const { return m_dir.filePath(u"settings.ini"_s); }

    QVariant storedOnDisk() const
    {
        return QSettings(settingsPath(), QSettings::IniFormat).value(DisplayModeStore::key);
    }

private slots:
    void init() { QFile::remove(settingsPath()); }

    void restores_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<QVariant>("storedAfter");

        QTest::newRow("nothing stored") << QVariant() << DisplayMode::floatingStrip << QVariant(u"floatingStrip"_s);
        QTest::newRow("menuBarOnly") << QVariant(u"menuBarOnly"_s) << DisplayMode::menuBarOnly
                                     << QVariant(u"menuBarOnly"_s);
        QTest::newRow("floatingStrip") << QVariant(u"floatingStrip"_s) << DisplayMode::floatingStrip
                                       << QVariant(u"floatingStrip"_s);
        QTest::newRow("legacy menuBar kept")
            << QVariant(u"menuBar"_s) << DisplayMode::menuBarOnly << QVariant(u"menuBar"_s);
        QTest::newRow("legacy floatingWindow kept")
            << QVariant(u"floatingWindow"_s) << DisplayMode::floatingStrip << QVariant(u"floatingWindow"_s);
        QTest::newRow("capitalised") << QVariant(u"MenuBarOnly"_s) << DisplayMode::floatingStrip
                                     << QVariant(u"MenuBarOnly"_s);
        QTest::newRow("empty text") << QVariant(u""_s) << DisplayMode::floatingStrip << QVariant(u""_s);
        QTest::newRow("a list is no text") << QVariant(QStringList{u"menuBarOnly"_s, u"x"_s})
                                           << DisplayMode::floatingStrip << QVariant(u"floatingStrip"_s);
    }

    void restores()
    {
        QFETCH(QVariant, stored);
        QFETCH(DisplayMode, mode);
        QFETCH(QVariant, storedAfter);
        {
            QSettings seed(settingsPath(), QSettings::IniFormat);
            if (stored.isValid())
                seed.setValue(DisplayModeStore::key, stored);
        }
        QSettings settings(settingsPath(), QSettings::IniFormat);
        DisplayModeStore store(&settings);
        QCOMPARE(store.mode(), mode);
        QCOMPARE(storedOnDisk(), storedAfter);
    }

    void assignmentPublishesAndPersistsAtOnce()
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        DisplayModeStore store(&settings);
        QSignalSpy changes(&store, &DisplayModeStore::modeChanged);

        store.setMode(DisplayMode::menuBarOnly);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).value<DisplayMode>(), DisplayMode::menuBarOnly);
        QCOMPARE(storedOnDisk(), QVariant(u"menuBarOnly"_s));

        QSettings again(settingsPath(), QSettings::IniFormat);
        QCOMPARE(DisplayModeStore(&again).mode(), DisplayMode::menuBarOnly);

        // Assigning the value already held still publishes and writes (over a legacy text, for one).
        settings.setValue(DisplayModeStore::key, u"menuBar"_s);
        store.setMode(DisplayMode::menuBarOnly);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(storedOnDisk(), QVariant(u"menuBarOnly"_s));
    }

    void modeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<DisplayMode>>("mode");
        QTest::newRow("menuBarOnly") << u"menuBarOnly"_s << std::optional(DisplayMode::menuBarOnly);
        QTest::newRow("floatingStrip") << u"floatingStrip"_s << std::optional(DisplayMode::floatingStrip);
        QTest::newRow("legacy is not a member") << u"menuBar"_s << std::optional<DisplayMode>();
        QTest::newRow("case") << u"FloatingStrip"_s << std::optional<DisplayMode>();
    }

    void modeText()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<DisplayMode>, mode);
        QCOMPARE(displayModeFromText(text), mode);
        if (mode)
            QCOMPARE(displayModeText(*mode), text);
    }
};

QTEST_GUILESS_MAIN(TestDisplayModeStore)
#include "tst_displaymodestore.moc"
