#include "library/RoleLibrary.h"
#include "library/SettingsFile.h"
#include "library/SettingsText.h"
#include "model/RolePackCodec.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// A role whose day is "<name> morning" until noon and "<name> evening" after.
Role role(const QString& id, const QString& name)
{
    const auto event = [&name](const QString& time, const QString& part) {
        return RoleEvent{time, name + part, u"平静"_s, u"家"_s, 3, u"独处"_s};
    };
    const QList<RoleEvent> day{event(u"00:00-12:00"_s, u" morning"_s), event(u"12:00-24:00"_s, u" evening"_s)};
    return Role{id, name, std::nullopt, StylePack::classicKaomoji, u"summary"_s, day};
}

const QList<Role> threeRoles{role(u"alpha"_s, u"A"_s), role(u"beta"_s, u"B"_s), role(u"gamma"_s, u"C"_s)};

} // namespace

class TestRoleLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_packPath;
    std::unique_ptr<QSettings> m_settings;
    std::shared_ptr<FakeClock> m_clock;

    RoleLibraryOptions options()
    {
        RoleLibraryOptions result;
        result.packPath = m_packPath;
        result.settings = m_settings.get();
        result.clock = m_clock;
        return result;
    }

    // What the settings file holds for the choice right now.
    QString storedOnDisk() const
    {
        return settingsText(*openSettings(m_settings->fileName()), RoleLibrary::storageKey).value_or(QString());
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_packPath = m_dir.filePath(u"roles.json"_s);
        QVERIFY(writeFile(m_packPath, encodeRolePack({threeRoles})));
        QFile::remove(m_dir.filePath(u"settings.ini"_s));
        m_settings = openSettings(m_dir.filePath(u"settings.ini"_s));
        m_clock = std::make_shared<FakeClock>(QTime(9, 30));
    }

    void restoresSelection_data()
    {
        QTest::addColumn<QList<Role>>("roles");
        QTest::addColumn<QString>("stored"); // null: none
        QTest::addColumn<QString>("selectedName");
        QTest::addColumn<QString>("storedAfter");
        const auto row = [](const char* tag, const QString& stored, const QString& selected = u"A"_s,
                            const QString& storedAfter = u"alpha"_s, const QList<Role>& roles = threeRoles) {
            QTest::newRow(tag) << roles << stored << selected << storedAfter;
        };

        row("first run", QString());
        row("stored third", u"gamma"_s, u"C"_s, u"gamma"_s);
        row("stale id", u"deleted"_s);
        // The first of duplicate ids matches, in any canonically equivalent form, and is stored as written.
        row("equivalent form", u"cafe\u0301"_s, u"B"_s, u"caf\u00e9"_s,
            {role(u"x"_s, u"A"_s), role(u"caf\u00e9"_s, u"B"_s), role(u"caf\u00e9"_s, u"C"_s)});
    }

    void restoresSelection()
    {
        QFETCH(QList<Role>, roles);
        QFETCH(QString, stored);
        QFETCH(QString, selectedName);
        QFETCH(QString, storedAfter);
        QVERIFY(writeFile(m_packPath, encodeRolePack({roles})));
        if (!stored.isNull())
            m_settings->setValue(RoleLibrary::storageKey, stored);

        RoleLibrary library(options());
        QCOMPARE(library.roles(), roles);
        QCOMPARE(storedOnDisk(), storedAfter);
        // The snapshot is ready before creation returns, for the clock's minute.
        QVERIFY(library.snapshot());
        QCOMPARE(library.snapshot()->now->event, selectedName + u" morning"_s);
    }

    // What the app writes is byte for byte what Qt's INI writer makes of the same values, and reads back.
    void settingsFileKeepsQtLayout_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("CJK and emoji") << u"夜班护士😀"_s;
        QTest::newRow("blanks at the ends, separators") << u" a,b;c=d "_s;
        QTest::newRow("quotes and backslashes") << u"say \"hi\" \\ \\x41"_s;
        QTest::newRow("leading @") << u"@Variant(x)"_s;
        QTest::newRow("controls before hex digits") << u"\u0001ab\tc\u0000\u00007\u007f\u0085"_s;
    }

    void settingsFileKeepsQtLayout()
    {
        QFETCH(QString, id);
        const QString ours = m_dir.filePath(u"ours-"_s + QString::fromLatin1(QTest::currentDataTag()));
        const QString qt = ours + u".ini"_s;
        const auto store = [&id](QSettings& settings) {
            settings.setValue(RoleLibrary::storageKey, id);
            settings.setValue(u"display_mode"_s, u"floatingStrip"_s);
            settings.setValue(u"hasLaunchedBefore"_s, true);
        };
        store(*openSettings(ours));
        QSettings written(qt, QSettings::IniFormat);
        store(written);
        written.sync();
        QFile oursFile(ours), qtFile(qt);
        QVERIFY(oursFile.open(QIODevice::ReadOnly) && qtFile.open(QIODevice::ReadOnly));
        QCOMPARE(oursFile.readAll(), qtFile.readAll());

        // Read from a fresh name: QSettings shares what it has read between objects on one path.
        QVERIFY(QFile::copy(ours, ours + u"-copy"_s));
        const std::unique_ptr<QSettings> read = openSettings(ours + u"-copy"_s);
        QCOMPARE(settingsText(*read, RoleLibrary::storageKey), std::optional(id));
        QVERIFY(read->value(u"hasLaunchedBefore"_s).toBool());
    }

    void packFailuresLeaveEverythingEmpty_data()
    {
        using Kind = PackFailure::Kind;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("reason");

        QTest::newRow("missing") << QByteArray() << Kind::missing << u"No such file or directory"_s;
        QTest::newRow("invalid") << QByteArray(R"({"roles":[{"id":"a"}]})") << Kind::invalid
                                 << u"roles[0].name: missing"_s;
        // Written empty, then grown one byte past the limit.
        QTest::newRow("oversized") << QByteArray("") << Kind::unreadable << u"the file is larger than 64 MiB"_s;
    }

    void packFailuresLeaveEverythingEmpty()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PackFailure::Kind, kind);
        QFETCH(QString, reason);
        QFile::remove(m_packPath);
        if (!bytes.isNull())
            QVERIFY(writeFile(m_packPath, bytes));
        if (QTest::currentDataTag() == "oversized"_L1)
            QVERIFY(QFile::resize(m_packPath, 64 * 1024 * 1024 + 1)); // sparse: costs no disk
        m_settings->setValue(RoleLibrary::storageKey, u"beta"_s);
        m_settings->sync();

        RoleLibrary library(options());
        QVERIFY(library.packFailure());
        QCOMPARE(library.packFailure()->kind, kind);
        QVERIFY2(library.packFailure()->reason.startsWith(reason), qPrintable(library.packFailure()->reason));
        QVERIFY(library.roles().isEmpty() && !library.snapshot());
        library.drawRandomRole();
        QVERIFY(!library.selectedRole());
        QCOMPARE(storedOnDisk(), u"beta"_s); // kept for the next run
    }

    void assignmentWaitsForTheTimerWhileSelectRefreshesAtOnce()
    {
        RoleLibraryOptions opts = options();
        opts.refreshIntervalMs = 50;
        RoleLibrary library(opts);
        QSignalSpy snapshots(&library, &RoleLibrary::snapshotChanged);

        // Persisted at once; the snapshot catches up at the next tick, for the clock's minute then.
        library.setSelectedRole(threeRoles.at(2));
        m_clock->set(QTime(12, 0));
        QCOMPARE(storedOnDisk(), u"gamma"_s);
        QCOMPARE(library.snapshot()->now->event, u"A morning"_s);
        QVERIFY(snapshots.wait(2000));
        QCOMPARE(library.snapshot()->now->event, u"C evening"_s);

        // A role from outside the pack, chosen twice, refreshes each time.
        const Role outsider = role(u"guest"_s, u"G"_s);
        snapshots.clear();
        library.select(outsider);
        library.select(outsider);
        QCOMPARE(snapshots.count(), 2);
        QCOMPARE(library.snapshot()->role, outsider);
        QCOMPARE(storedOnDisk(), u"guest"_s);

        library.setSelectedRole(std::nullopt);
        library.refreshSnapshot();
        QVERIFY(!library.snapshot());
        QCOMPARE(storedOnDisk(), u"guest"_s); // clearing keeps the stored choice
    }

    void drawRandomRole()
    {
        // For three roles 2^32 mod 3 = 1: the word 0 would favour the first role and is drawn again.
        RoleLibraryOptions opts = options();
        QList<quint32> words{0, 5};
        opts.randomWord = [&words] {
            return words.takeFirst();
        };
        RoleLibrary library(opts);
        QSignalSpy snapshots(&library, &RoleLibrary::snapshotChanged);
        library.drawRandomRole();
        QCOMPARE(library.selectedRole()->id, u"gamma"_s);
        QCOMPARE(snapshots.count(), 1);
        QCOMPARE(storedOnDisk(), u"gamma"_s);
    }
};

QTEST_GUILESS_MAIN(TestRoleLibrary)
#include "tst_rolelibrary.moc"
