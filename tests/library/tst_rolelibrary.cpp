#include "library/RoleLibrary.h"
#include "library/UniformIndex.h"
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

    RoleLibraryOptions options(QStringList packPaths = {})
    {
        RoleLibraryOptions result;
        result.packPaths = packPaths.isEmpty() ? QStringList{m_packPath} : packPaths;
        result.settings = m_settings.get();
        result.clock = m_clock;
        return result;
    }

    // What another process would read from the settings file right now.
    QString storedOnDisk() const
    {
        return QSettings(m_settings->fileName(), QSettings::IniFormat).value(RoleLibrary::storageKey).toString();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_packPath = m_dir.filePath(u"roles.json"_s);
        QVERIFY(writeFile(m_packPath, encodeRolePack({threeRoles})));
        QFile::remove(m_dir.filePath(u"settings.ini"_s));
        m_settings = std::make_unique<QSettings>(m_dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
        m_clock = std::make_shared<FakeClock>(QTime(9, 30));
    }

    void restoresSelection_data()
    {
        QTest::addColumn<QList<Role>>("roles");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("selectedName");
        QTest::addColumn<QString>("storedAfter");
        const auto row = [](const char* tag, const QVariant& stored, const QString& selected = u"A"_s,
                            const QString& storedAfter = u"alpha"_s, const QList<Role>& roles = threeRoles) {
            QTest::newRow(tag) << roles << stored << selected << storedAfter;
        };

        row("first run", QVariant());
        row("stored third", u"gamma"_s, u"C"_s, u"gamma"_s);
        row("stale id", u"deleted"_s);
        row("case differs", u"Gamma"_s);
        row("empty text", u""_s);
        row("not text", QStringList{u"beta"_s, u"gamma"_s});
        row("number converts to text", 7);
        // The first of duplicate ids matches, in any canonically equivalent form, and is stored as written.
        row("equivalent form", u"cafe\u0301"_s, u"B"_s, u"caf\u00e9"_s,
            {role(u"x"_s, u"A"_s), role(u"caf\u00e9"_s, u"B"_s), role(u"caf\u00e9"_s, u"C"_s)});
    }

    void restoresSelection()
    {
        QFETCH(QList<Role>, roles);
        QFETCH(QVariant, stored);
        QFETCH(QString, selectedName);
        QFETCH(QString, storedAfter);
        QVERIFY(writeFile(m_packPath, encodeRolePack({roles})));
        if (stored.isValid())
            m_settings->setValue(RoleLibrary::storageKey, stored);

        StdoutCapture capture;
        // The first candidate location is absent: the next one is read, without a word.
        RoleLibrary library(options({m_dir.filePath(u"absent.json"_s), m_packPath}));
        QCOMPARE(capture.finish(), QString());
        QCOMPARE(library.roles(), roles);
        QVERIFY(library.selectedRole());
        QCOMPARE(library.selectedRole()->name, selectedName);
        QCOMPARE(storedOnDisk(), storedAfter);
        // The snapshot is ready before creation returns, for the clock's minute.
        QVERIFY(library.snapshot());
        QCOMPARE(library.snapshot()->now->event, selectedName + u" morning"_s);
    }

    void packFailuresLeaveEverythingEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("line");

        QTest::newRow("missing") << QByteArray() << u"⚠️ roles.json missing from bundle\n"_s;
        QTest::newRow("invalid") << QByteArray(R"({"roles":[{"id":"a"}]})")
                                 << u"Failed to load roles: roles[0].name: missing\n"_s;
        QTest::newRow("garbage") << QByteArray("\x00\xff\x13garbage", 10)
                                 << u"Failed to load roles: (root): not valid JSON"_s;
        QTest::newRow("empty file") << QByteArray("") << u"Failed to load roles: (root): not valid JSON"_s;
        // Written empty, then grown one byte past the limit.
        QTest::newRow("oversized") << QByteArray("") << u"Failed to load roles: the file is larger than 64 MiB\n"_s;
    }

    void packFailuresLeaveEverythingEmpty()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, line);
        QFile::remove(m_packPath);
        if (!bytes.isNull())
            QVERIFY(writeFile(m_packPath, bytes));
        if (QTest::currentDataTag() == "oversized"_L1)
            QVERIFY(QFile::resize(m_packPath, 64 * 1024 * 1024 + 1)); // sparse: costs no disk
        m_settings->setValue(RoleLibrary::storageKey, u"beta"_s);
        m_settings->sync();

        RoleLibraryOptions opts = options();
        opts.refreshIntervalMs = 10;
        StdoutCapture capture;
        RoleLibrary library(opts);
        const QString printed = capture.finish();

        QVERIFY2(printed.startsWith(line), qPrintable(printed));
        QCOMPARE(printed.count(u'\n'), 1);
        QVERIFY(library.roles().isEmpty());
        QVERIFY(!library.selectedRole());
        QVERIFY(!library.snapshot());
        library.drawRandomRole();
        QVERIFY(!library.selectedRole());

        // The timer still runs and keeps the snapshot empty; the stored choice survives for the next run.
        QSignalSpy ticks(&library, &RoleLibrary::snapshotChanged);
        QVERIFY(ticks.wait(2000));
        QVERIFY(!library.snapshot());
        QCOMPARE(storedOnDisk(), u"beta"_s);
    }

    void givenRolesReplaceStoredChoice()
    {
        m_settings->setValue(RoleLibrary::storageKey, u"gamma"_s);
        RoleLibraryOptions opts = options({m_dir.filePath(u"absent.json"_s)});
        opts.roles = {threeRoles.at(1), threeRoles.at(2)};
        StdoutCapture capture;
        RoleLibrary library(opts);
        QCOMPARE(capture.finish(), QString()); // the pack is not read at all
        QCOMPARE(library.roles().size(), 2);
        QCOMPARE(library.selectedRole()->id, u"beta"_s);
        QCOMPARE(storedOnDisk(), u"beta"_s);
        QVERIFY(library.snapshot());
    }

    void assignmentWaitsForTheTimerWhileSelectRefreshesAtOnce()
    {
        RoleLibraryOptions opts = options();
        opts.refreshIntervalMs = 50;
        RoleLibrary library(opts);
        QSignalSpy selected(&library, &RoleLibrary::selectedRoleChanged);
        QSignalSpy snapshots(&library, &RoleLibrary::snapshotChanged);

        // Persisted at once; the snapshot catches up at the next tick, for the clock's minute then.
        library.setSelectedRole(threeRoles.at(2));
        m_clock->set(QTime(12, 0));
        QCOMPARE(storedOnDisk(), u"gamma"_s);
        QCOMPARE(library.snapshot()->now->event, u"A morning"_s);
        QVERIFY(snapshots.wait(2000));
        QCOMPARE(library.snapshot()->now->event, u"C evening"_s);

        const Role outsider = role(u"guest"_s, u"G"_s); // need not be one of the pack's roles
        selected.clear();
        snapshots.clear();
        library.select(outsider);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(snapshots.count(), 1);
        QCOMPARE(library.selectedRole(), outsider);
        QCOMPARE(library.snapshot()->role, outsider);
        QCOMPARE(storedOnDisk(), u"guest"_s);
        library.select(outsider); // the same role again still refreshes
        QCOMPARE(snapshots.count(), 2);

        // Clearing the selection keeps the stored choice.
        library.setSelectedRole(std::nullopt);
        library.refreshSnapshot();
        QVERIFY(!library.snapshot());
        QCOMPARE(storedOnDisk(), u"guest"_s);
    }

    void drawRandomRole()
    {
        // For three roles 2^32 mod 3 = 1: the word 0 is rejected and drawn again; then 5 picks the third, 4 the second.
        RoleLibraryOptions opts = options();
        const QList<quint32> words{0, 5, 4};
        qsizetype next = 0;
        opts.randomWord = [&] {
            return words.at(next++);
        };
        RoleLibrary library(opts);
        library.select(threeRoles.at(1));
        QSignalSpy snapshots(&library, &RoleLibrary::snapshotChanged);
        library.drawRandomRole();
        QCOMPARE(next, 2);
        QCOMPARE(library.selectedRole()->id, u"gamma"_s);
        QCOMPARE(library.snapshot()->role.id, u"gamma"_s);
        QCOMPARE(snapshots.count(), 1);
        QCOMPARE(storedOnDisk(), u"gamma"_s);
        library.drawRandomRole();
        QCOMPARE(library.selectedRole()->id, u"beta"_s);
        QCOMPARE(storedOnDisk(), u"beta"_s);

        // Without a source of its own, the library draws from the system's and reaches every role.
        RoleLibrary system(options());
        QSet<QString> seen;
        for (int i = 0; i < 300 && seen.size() < 3; ++i) {
            system.drawRandomRole();
            seen.insert(system.selectedRole()->id);
        }
        QCOMPARE(seen.size(), 3);
    }

    void uniformIndexRejectsBiasedWords_data()
    {
        QTest::addColumn<quint32>("count");
        QTest::addColumn<QList<quint32>>("words");
        QTest::addColumn<quint32>("index");

        QTest::newRow("one role") << 1u << QList<quint32>{0} << 0u;
        QTest::newRow("power of two never rejects") << 4u << QList<quint32>{0} << 0u;
        // 2^32 mod 10 = 6: words 0...5 would favour indexes 0...5.
        QTest::newRow("ten, rejects below 6") << 10u << QList<quint32>{5, 0, 6} << 6u;
        QTest::newRow("ten, top word") << 10u << QList<quint32>{0xFFFFFFFFu} << 5u;
        // 2^32 mod 3_000_000_000 = 1_294_967_296: most low words are rejected.
        QTest::newRow("huge count") << 3'000'000'000u << QList<quint32>{1'294'967'295u, 1'294'967'296u}
                                    << 1'294'967'296u;
    }

    void uniformIndexRejectsBiasedWords()
    {
        QFETCH(quint32, count);
        QFETCH(QList<quint32>, words);
        QFETCH(quint32, index);
        qsizetype next = 0;
        QCOMPARE(uniformIndex(count, [&] { return words.at(next++); }), index);
        QCOMPARE(next, words.size());
    }
};

QTEST_GUILESS_MAIN(TestRoleLibrary)
#include "tst_rolelibrary.moc"
