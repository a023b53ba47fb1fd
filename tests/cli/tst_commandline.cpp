#include "cli/CommandLine.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

const QString pack = QStringLiteral(PELLORA_TEST_DATA "/cli_pack.json");

struct Outcome {
    int code;
    QString out;
    QString err;
};

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // One file per test row: QSettings caches a file's contents by path, size and modification time,
    // and rows that rewrite it within one second at the same size would read the previous row's value.
    QString settingsPath() const
    {
        return m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                              QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
    }

    Outcome run(QStringList arguments, QTime time = QTime(9, 15))
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        CommandLineContext context{outStream, errStream,
                                   [this] { return std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat); },
                                   std::make_shared<FakeClock>(time)};
        arguments.prepend(u"pellora"_s);
        const int code = runCommandLine(arguments, context);
        return {code, out, err};
    }

private slots:
    void init() { QFile::remove(settingsPath()); }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");

        QTest::newRow("status") << QStringList{u"status"_s, u"--pack"_s, pack} << 0 << QString();
        QTest::newRow("unknown role") << QStringList{u"status"_s, u"--pack"_s, pack, u"--role"_s, u"ghost"_s} << 2
                                      << u"pellora: no role with the id 'ghost'"_s;
        QTest::newRow("--at 24:00") << QStringList{u"status"_s, u"--at"_s, u"24:00"_s} << 2 << u"pellora: --at"_s;
        QTest::newRow("--at 9:5") << QStringList{u"status"_s, u"--at"_s, u"9:5"_s} << 2 << u"pellora: --at"_s;
        QTest::newRow("--at text") << QStringList{u"status"_s, u"--at=noon"_s} << 2 << u"pellora: --at"_s;
        QTest::newRow("--at without value") << QStringList{u"status"_s, u"--at"_s} << 2 << u"pellora: Missing value"_s;
        QTest::newRow("unknown option") << QStringList{u"status"_s, u"--colour"_s} << 2 << u"pellora: Unknown option"_s;
        QTest::newRow("unknown format") << QStringList{u"status"_s, u"--format"_s, u"xml"_s} << 2
                                        << u"pellora: unknown format 'xml'"_s;
        QTest::newRow("json and waybar") << QStringList{u"status"_s, u"--json"_s, u"--format"_s, u"waybar"_s} << 2
                                         << u"pellora: --json and --format"_s;
        QTest::newRow("unreadable pack") << QStringList{u"roles"_s, u"--pack"_s, u"/nonexistent/roles.json"_s} << 2
                                         << u"pellora: cannot read /nonexistent/roles.json"_s;
        QTest::newRow("pack is a folder") << QStringList{u"validate"_s, u"/"_s} << 2 << u"pellora: cannot read /"_s;
        QTest::newRow("invalid pack") << QStringList{u"validate"_s,
                                                     QStringLiteral(PELLORA_TEST_DATA "/invalid_pack.json")}
                                      << 1 << u"roles[1].events[0].social: missing"_s;
        QTest::newRow("validate without file") << QStringList{u"validate"_s} << 2 << u"pellora: validate takes"_s;
        QTest::newRow("unknown command") << QStringList{u"stats"_s} << 2 << u"pellora: unknown command 'stats'"_s;
        QTest::newRow("stray argument") << QStringList{u"roles"_s, u"extra"_s} << 2 << u"pellora: unexpected"_s;
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << QString();
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << QString();
    }

    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, err);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.code, code);
        if (err.isEmpty()) {
            QCOMPARE(outcome.err, QString());
            QVERIFY(!outcome.out.isEmpty());
        } else {
            QVERIFY2(outcome.err.contains(err), qPrintable(outcome.err));
            QVERIFY(outcome.out.isEmpty()); // failures print nothing on standard output
        }
    }

    void plainStatusReadsLikeTheStrip_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");

        QTest::newRow("current event") << QStringList{u"--at"_s, u"09:15"_s}
                                       << u"(｡•̀ᴗ-)✧  夜班护士 · 林\n"
                                          "08:00-12:00  写交班记录\n"
                                          "❤️ 平静   @ 护士站\n"
                                          "energy [████░]  4/5\n"
                                          "接下来\n"
                                          "→ 12:00-24:00 · 值班\n"
                                          "→ 00:00-08:00 · 睡觉\n"
                                          "→ 08:00-12:00 · 写交班记录\n"_s;
        QTest::newRow("empty mood, no energy")
            << QStringList{u"--at"_s, u"13:00"_s}
            << u"(＾▽＾)  夜班护士 · 林\n12:00-24:00  值班\n❤️ —   @ 病房\nenergy [███░░]  "
               u"3/5\n接下来\n"
               "→ 00:00-08:00 · 睡觉\n→ 08:00-12:00 · 写交班记录\n→ 12:00-24:00 · 值班\n"_s;
        QTest::newRow("clock minute by default")
            << QStringList{} << u"(｡•̀ᴗ-)✧  夜班护士 · 林\n08:00-12:00  写交班记录\n"_s;
        QTest::newRow("text-only role, saturated meter")
            << QStringList{u"--role"_s, u"poet"_s}
            << u"[Focus @ 图书馆]  阿诗\n00:00-24:00  研究诗歌\n❤️ 平静   @ 图书馆\nenergy [█████]  5/5\n"_s;
    }

    void plainStatusReadsLikeTheStrip()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const Outcome outcome = run(QStringList{u"status"_s, u"--pack"_s, pack} + arguments);
        QCOMPARE(outcome.code, 0);
        QVERIFY2(outcome.out.startsWith(expected), qPrintable(outcome.out));
    }

    void statusFollowsStoredChoiceWithoutWriting_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("role");
        QTest::newRow("stored poet") << u"poet"_s << u"poet"_s;
        QTest::newRow("stale id") << u"gone"_s << u"nurse"_s;
    }

    void statusFollowsStoredChoiceWithoutWriting()
    {
        QFETCH(QString, stored);
        QFETCH(QString, role);
        QVERIFY(writeFile(settingsPath(), "[General]\nselected_role_id=" + stored.toUtf8() + "\n"));
        const QDateTime before = QFileInfo(settingsPath()).lastModified();

        const Outcome outcome = run({u"status"_s, u"--pack"_s, pack, u"--json"_s});
        QCOMPARE(outcome.code, 0);
        const QJsonObject json = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
        QCOMPARE(json[u"role"_s][u"id"_s].toString(), role);

        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "[General]\nselected_role_id=" + stored.toUtf8() + "\n");
        QCOMPARE(QFileInfo(settingsPath()).lastModified(), before);
    }

    void statusJsonShape()
    {
        const Outcome outcome = run({u"status"_s, u"--pack"_s, pack, u"--json"_s, u"--at"_s, u"13:00"_s});
        QCOMPARE(outcome.code, 0);
        QVERIFY(outcome.out.startsWith(u"{\"role\":{\"id\":\"nurse\",\"name\":\"林\",\"displayName\":\"夜班护士\","
                                       "\"stylePack\":\"classicKaomoji\",\"title\":\"夜班护士 · 林\"},\"minute\":780,"
                                       "\"now\":{\"id\":\"12:00-24:00_值班\""_s));
        const QJsonObject json = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
        const QJsonObject now = json[u"now"_s].toObject();
        QCOMPARE(now[u"energy"_s], QJsonValue(QJsonValue::Null));
        QCOMPARE(now[u"category"_s].toString(), u"chill"_s);
        QCOMPARE(now[u"face"_s].toString(), u"(＾▽＾)"_s);
        QCOMPARE(now[u"meter"_s].toString(), u"energy [███░░]  3/5"_s);
        QCOMPARE(now[u"social"_s].toString(), u"和病人"_s);
        const QJsonArray upcoming = json[u"upcoming"_s].toArray();
        QCOMPARE(upcoming.size(), 3);
        QCOMPARE(upcoming[0][u"line"_s].toString(), u"→ 00:00-08:00 · 睡觉"_s);
        QCOMPARE(upcoming[0][u"id"_s].toString(), u"00:00-08:00_睡觉"_s);
        QCOMPARE(upcoming[0].toObject().keys(), (QStringList{u"event"_s, u"id"_s, u"line"_s, u"time"_s}));
    }

    void emptyPack_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("json") << QStringList{u"--json"_s}
                              << u"{\"role\":null,\"minute\":555,\"now\":null,\"upcoming\":[]}\n"_s;
        QTest::newRow("plain") << QStringList{} << u"还没有角色，去菜单挑一个~\n"_s;
        QTest::newRow("waybar") << QStringList{u"--format"_s, u"waybar"_s}
                                << u"{\"text\":\"还没有角色，去菜单挑一个~\",\"tooltip\":\"还没有角色，去菜单挑一个~\","
                                   "\"class\":\"empty\",\"percentage\":0}\n"_s;
    }

    void emptyPack()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const QString empty = m_dir.filePath(u"empty.json"_s);
        QVERIFY(writeFile(empty, R"({"roles":[]})"));
        const Outcome outcome = run(QStringList{u"status"_s, u"--pack"_s, empty} + arguments);
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.out, expected);
    }

    void waybar()
    {
        const Outcome outcome =
            run({u"status"_s, u"--pack"_s, pack, u"--format"_s, u"waybar"_s, u"--at"_s, u"03:00"_s});
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.out.count(u'\n'), 1);
        const QJsonObject json = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
        QCOMPARE(json[u"text"_s].toString(), u"( ˘ω˘ )  夜班护士 · 林"_s);
        QCOMPARE(json[u"class"_s].toString(), u"sleeping"_s);
        QCOMPARE(json[u"percentage"_s].toInt(), 20);
        QVERIFY(json[u"tooltip"_s].toString().startsWith(u"( ˘ω˘ )  夜班护士 · 林\n00:00-08:00  睡觉\n"_s));
    }

    void rolesAndValidate()
    {
        const Outcome list = run({u"roles"_s, u"--pack"_s, pack, u"--json"_s});
        QCOMPARE(list.code, 0);
        const QJsonArray roles = QJsonDocument::fromJson(list.out.toUtf8()).array();
        QCOMPARE(roles.size(), 2);
        QCOMPARE(roles[0][u"face"_s].toString(), u"( ˘ω˘ )"_s); // the first event's face, not the current one
        QCOMPARE(roles[1][u"displayName"_s], QJsonValue(QJsonValue::Null));
        QCOMPARE(roles[1][u"title"_s].toString(), u"阿诗"_s);
        QCOMPARE(roles[1][u"face"_s].toString(), u"[Focus @ 图书馆]"_s);

        const Outcome plain = run({u"roles"_s, u"--pack"_s, pack});
        QCOMPARE(
            plain.out,
            u"( ˘ω˘ )  夜班护士 · 林  (nurse)\n    守着夜班的护士\n[Focus @ 图书馆]  阿诗  (poet)\n    写诗的人\n"_s);

        const Outcome valid = run({u"validate"_s, pack});
        QCOMPARE(valid.code, 0);
        QCOMPARE(valid.out, u"ok: 2 roles, 4 events\n"_s);
    }

    // The real binary, with a fresh configuration folder: prints, exits, and leaves the user's settings alone.
    void realBinaryNeverWritesSettings()
    {
        QTemporaryDir config;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, config.path());
        QProcess process;
        process.setProcessEnvironment(environment);

        process.start(qEnvironmentVariable("PELLORA_BINARY"), {u"status"_s});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 0);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(out.contains(u"energy ["_s), qPrintable(out));
        QCOMPARE(QDir(config.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

        process.start(qEnvironmentVariable("PELLORA_BINARY"), {u"status"_s, u"--at"_s, u"7"_s});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 2);
        QCOMPARE(process.readAllStandardOutput(), QByteArray());
        QCOMPARE(process.readAllStandardError().count('\n'), 2);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
