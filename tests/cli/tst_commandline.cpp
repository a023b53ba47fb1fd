#include "cli/CommandLine.h"
#include "cli/SubmitCommand.h"
#include "library/SettingsFile.h"
#include "support/TestSupport.h"
#include "upload/FakeContentsServer.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

const QString pack = QStringLiteral(PELLORA_TEST_DATA "/cli_pack.json");

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeContentsServer m_server;
    QUrl m_base;

    // "status --pack PACK": the words of a command line; PACK is the test pack, EMPTY one without roles,
    // FIFO a named pipe without a writer, DATA/ the test data folder, DIR/ a folder of schedule files.
    QStringList args(const char* line) const
    {
        QStringList words = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        for (QString& word : words)
            word.replace(u"PACK"_s, pack)
                .replace(u"EMPTY"_s, m_dir.filePath(u"empty.json"_s))
                .replace(u"FIFO"_s, m_dir.filePath(u"fifo"_s))
                .replace(u"DATA/"_s, QStringLiteral(PELLORA_TEST_DATA "/"))
                .replace(u"DIR/"_s, m_dir.path() + u'/');
        return words;
    }

    // Runs a command in-process at 09:15 with `storedRole` as the stored choice; `submit` sends to the fake
    // endpoint with `token` and reads `input` as its standard input.
    CommandOutcome run(const QStringList& arguments, const QString& token = u"writer"_s, const QString& storedRole = {},
                       QIODevice* input = nullptr, const QString& packPath = pack)
    {
        const QString settings = m_dir.filePath(u"Pellora.conf"_s);
        QFile::remove(settings);
        if (!storedRole.isEmpty() && !writeFile(settings, "[General]\nselected_role_id=" + storedRole.toUtf8()))
            return {-1, {}, u"cannot write the settings"_s};
        QBuffer empty; // standard input, unless given
        empty.open(QIODevice::ReadOnly);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        CommandLineContext context{outStream, errStream, [settings] { return openSettings(settings); },
                                   std::make_shared<FakeClock>(QTime(9, 15)), packPath};
        const int code = arguments.value(0) == u"submit"_s
                             ? runSubmit(
                                   QStringList{u"pellora submit"_s} + arguments.mid(1), context,
                                   {m_base, u"bot@example.invalid"_s, 400}, [token] { return QStringList{token}; },
                                   input ? input : &empty)
                             : runCommandLine(QStringList{u"pellora"_s} + arguments, context);
        return {code, out, err};
    }

private slots:
    void initTestCase()
    {
        m_base = m_server.start();
        QVERIFY(m_base.isValid());
        QVERIFY(writeFile(m_dir.filePath(u"empty.json"_s), R"({"roles":[]})"));
        QVERIFY(writeFile(m_dir.filePath(u"empty.txt"_s), {}));
        QVERIFY(writeFile(m_dir.filePath(u"latin1.txt"_s), "caf\xe9"));
        QVERIFY(writeFile(m_dir.filePath(u"limit.txt"_s), QByteArray(maxScheduleBytes, 'a')));
        QVERIFY(writeFile(m_dir.filePath(u"over.txt"_s), QByteArray(maxScheduleBytes + 1, 'a')));
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(u"fifo"_s)).constData(), 0600), 0);
    }

    // A command's exit code, its standard error (all of it for a success, else a part) and its standard output:
    // exactly the text given and a newline, or none for a failure; refused arguments send nothing.
    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("out"); // null: any text for a success
        QTest::addColumn<QString>("token");
        const auto row = [this](const char* name, const char* line, int code, const QString& err,
                                const QString& token = u"writer"_s) {
            QTest::newRow(name) << args(line) << code << err << QString() << token;
        };
        const auto prints = [this](const char* name, const char* line, const QString& out) {
            QTest::newRow(name) << args(line) << 0 << QString() << out << QString();
        };

        row("unknown role", "status --pack PACK --role ghost", 2, u"pellora: no role with the id 'ghost'"_s);
        row("--at 24:00", "status --at 24:00", 2, u"pellora: --at"_s);
        row("unknown option", "status --colour", 2, u"pellora: Unknown option"_s);
        row("pack is a folder", "validate /", 2, u"pellora: cannot read /: it is a directory"_s);
        row("pack is a FIFO", "status --pack FIFO", 2, u"fifo: it is not a regular file\n"_s);
        row("invalid pack", "validate DATA/invalid_pack.json", 1, u"roles[1].events[0].social: missing"_s);
        row("validate warns of events that never show", "validate DATA/timeless_pack.json", 0,
            u"warning: roles[0].events[0].time: fewer than two clock times; this event never shows\n"
            "warning: roles[0].events[1].time: fewer than two clock times; this event never shows\n"
            "warning: roles[0].events[2].time: fewer than two clock times; this event never shows\n"_s);

        row("submit nothing", "submit", 2, u"pellora: submit needs --nickname\n"_s);
        row("empty nickname", "submit --nickname= --schedule-file=PACK", 2, u"pellora: --nickname must not be empty"_s);
        row("no schedule", "submit --nickname=ada", 2, u"pellora: submit needs --schedule-file"_s);
        row("FIFO without a writer", "submit --nickname=ada --schedule-file=FIFO", 2,
            u"fifo: it is not a regular file\n"_s);
        row("empty file", "submit --nickname=ada --schedule-file=DIR/empty.txt", 2, u"is empty"_s);
        row("empty standard input", "submit --nickname=ada --schedule-file -", 2,
            u"pellora: the schedule in standard input is empty\n"_s);
        row("not UTF-8", "submit --nickname=ada --schedule-file=DIR/latin1.txt", 2, u"is not UTF-8 text"_s);
        row("over 1 MiB", "submit --nickname=ada --schedule-file=DIR/over.txt", 2, u"is larger than 1 MiB"_s);
        row("exactly 1 MiB", "submit --nickname=ada --schedule-file=DIR/limit.txt", 0, {});
        QTest::newRow("nickname of spaces")
            << (args("submit --schedule-file=PACK") << u"--nickname= "_s) << 0 << QString() << QString() << u"writer"_s;
        row("rejected", "submit --nickname=ada --schedule-file=PACK", 1, u"pellora: GitHub (404): Not Found\n"_s,
            u"missing"_s);
        row("hostile message", "submit --nickname=ada --schedule-file=PACK", 1,
            u"pellora: GitHub (422): \\x1b[2J\\x0d上传成功 · submissions/x\n"_s, u"hostile"_s);

        prints(
            "current event", "status --pack PACK --at 09:15",
            u"(｡•̀ᴗ-)✧  夜班护士 · 林\n08:00-12:00  写交班记录\n❤️ 平静   @ 护士站\nenergy [████░]  4/5\n接下来\n"
            "→ 12:00-24:00 · 值班\n→ 00:00-08:00 · 睡觉\n→ 08:00-12:00 · 写交班记录"_s);
        prints(
            "empty mood, no energy", "status --pack PACK --at 13:00",
            u"(＾▽＾)  夜班护士 · 林\n12:00-24:00  值班\n❤️ —   @ 病房\nenergy [███░░]  3/5\n接下来\n"
            "→ 00:00-08:00 · 睡觉\n→ 08:00-12:00 · 写交班记录\n→ 12:00-24:00 · 值班"_s);
        prints(
            "text-only role, saturated meter", "status --pack PACK --role poet",
            u"[Focus @ 图书馆]  阿诗\n00:00-24:00  研究诗歌\n❤️ 平静   @ 图书馆\nenergy [█████]  5/5\n接下来\n"
            "→ 00:00-24:00 · 研究诗歌"_s);
        prints("json", "status --pack PACK --json --at 13:00",
               uR"j({"role":{"id":"nurse","name":"林","displayName":"夜班护士","stylePack":"classicKaomoji",)j"
               uR"j("title":"夜班护士 · 林"},"minute":780,"now":{"id":"12:00-24:00_值班","time":"12:00-24:00",)j"
               uR"j("event":"值班","mood":"","location":"病房","energy":null,"social":"和病人","category":"chill",)j"
               uR"j("face":"(＾▽＾)","meter":"energy [███░░]  3/5"},"upcoming":[{"id":"00:00-08:00_睡觉",)j"
               uR"j("time":"00:00-08:00","event":"睡觉","line":"→ 00:00-08:00 · 睡觉"},)j"
               uR"j({"id":"08:00-12:00_写交班记录","time":"08:00-12:00","event":"写交班记录",)j"
               uR"j("line":"→ 08:00-12:00 · 写交班记录"},{"id":"12:00-24:00_值班","time":"12:00-24:00",)j"
               uR"j("event":"值班","line":"→ 12:00-24:00 · 值班"}]})j"_s);
        prints(
            "waybar", "status --pack PACK --format waybar --at 03:00",
            uR"j({"text":"( ˘ω˘ )  夜班护士 · 林","tooltip":)j"
            u"\"( ˘ω˘ )  夜班护士 · 林\\n00:00-08:00  睡觉\\n❤️ 睡得很沉   @ 宿舍\\nenergy [█░░░░]  1/5\\n"
            u"接下来\\n→ 08:00-12:00 · 写交班记录\\n→ 12:00-24:00 · 值班\\n→ 00:00-08:00 · 睡觉\""
            uR"j(,"class":"sleeping","percentage":20})j"_s);
        prints("no roles", "status --pack EMPTY", u"还没有角色，去菜单挑一个~"_s);
        // The role's name holds ESC and U+2028: escaped, on one line.
        prints("role without a time range", "status --pack DATA/timeless_pack.json",
               u"闲\\x1b[2J人\\u2028: no event has a time range, so there is nothing to show"_s);
        prints("no roles, waybar", "status --pack EMPTY --format waybar",
               uR"j({"text":"还没有角色，去菜单挑一个~","tooltip":"还没有角色，去菜单挑一个~",)j"
               uR"j("class":"empty","percentage":0})j"_s);
        prints("roles", "roles --pack PACK",
               u"( ˘ω˘ )  夜班护士 · 林  (nurse)\n    守着夜班的护士\n"
               "[Focus @ 图书馆]  阿诗  (poet)\n    写诗的人"_s);
        // A role's face is its first event's, not the current one.
        prints("roles, json", "roles --pack PACK --json",
               uR"j([{"id":"nurse","name":"林","displayName":"夜班护士","stylePack":"classicKaomoji",)j"
               uR"j("title":"夜班护士 · 林","face":"( ˘ω˘ )","summary":"守着夜班的护士"},)j"
               uR"j({"id":"poet","name":"阿诗","displayName":null,"stylePack":"textOnly","title":"阿诗",)j"
               uR"j("face":"[Focus @ 图书馆]","summary":"写诗的人"}])j"_s);
        prints("validate", "validate PACK", u"ok: 2 roles, 4 events"_s);
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(QString, out);
        QFETCH(QString, token);
        const qsizetype before = m_server.requests().size();
        const CommandOutcome outcome = run(arguments, token);
        QCOMPARE(outcome.code, code);
        if (code == 0)
            QCOMPARE(outcome.err, err);
        else
            QVERIFY2(outcome.err.contains(err), qPrintable(outcome.err));
        if (out.isNull())
            QCOMPARE(outcome.out.isEmpty(), code != 0);
        else
            QCOMPARE(outcome.out, out + u'\n');
        QCOMPARE(m_server.requests().size() - before, arguments.first() == u"submit"_s && code != 2 ? 1 : 0);
    }

    // The real binary with its own configuration folder: it follows the stored choice, reads a value that is
    // not text (a serialized bitmap, which Qt would decode and abort on) as no choice, does not wait on a
    // FIFO, and leaves the settings exactly as they were.
    void realBinaryReadsSettingsWithoutWriting_data()
    {
        QTest::addColumn<QByteArray>("settings"); // Pellora.conf; null: none; "FIFO": a named pipe
        QTest::addColumn<QString>("role");
        const QByteArray bitmap =
            R"x(@Variant(\0\0\0I\0\0\0\x1\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x1\0\0\0\x1\x1\x3\0\0\0%\xdbV\xca\0\0\0\x6)x"
            R"x(PLTE\xff\xff\xff\0\0\0U\xc2\xd3~\0\0\0\tpHYs\0\0\xe\xc4\0\0\xe\xc4\x1\x95+\xe\x1b\0\0\0\nIDAT\b\x99\x63`)x"
            R"x(\x1\0\0\x6\0\x5?I\xdb\xc6\0\0\0\0IEND\xae\x42`\x82))x";
        QTest::newRow("none") << QByteArray() << u"nurse"_s;
        QTest::newRow("stored choice") << QByteArray("[General]\nselected_role_id=poet\n") << u"poet"_s;
        QTest::newRow("bitmap as the choice") << "[General]\nselected_role_id=" + bitmap + '\n' << u"nurse"_s;
        QTest::newRow("bitmap as the mode") << "[General]\ndisplay_mode=" + bitmap + "\nselected_role_id=poet\n"
                                            << u"poet"_s;
        QTest::newRow("FIFO") << QByteArray("FIFO") << u"nurse"_s;
    }

    void realBinaryReadsSettingsWithoutWriting()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, role);
        QTemporaryDir config;
        const QString file = config.filePath(u"Pellora/Pellora.conf"_s);
        if (!settings.isNull()) {
            QVERIFY(QDir(config.path()).mkdir(u"Pellora"_s));
            if (settings == "FIFO")
                QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
            else
                QVERIFY(writeFile(file, settings));
        }
        const QStringList before = QDir(config.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

        const CommandOutcome shown = runBinary(args("status --pack PACK --json"), config.path());
        QCOMPARE(shown.code, 0);
        QCOMPARE(QJsonDocument::fromJson(shown.out.toUtf8())[u"role"_s][u"id"_s].toString(), role);
        const CommandOutcome refused = runBinary(args("status --at 7"), config.path());
        QCOMPARE(refused.code, 2);
        QCOMPARE(refused.out, QString());
        QCOMPARE(refused.err.count(u'\n'), 2);

        QCOMPARE(QDir(config.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
        if (settings == "FIFO") {
            QVERIFY(QFileInfo(file).isFile() == false && QFileInfo(file).exists());
        } else if (!settings.isNull()) {
            QFile written(file);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), settings);
        }
    }

    // The entry is the one the form builds: the texts as given, the stored choice's id and name.
    void submittedEntry_data()
    {
        QTest::addColumn<QString>("storedRole");
        QTest::addColumn<QString>("packPath");
        QTest::addColumn<QStringList>("role"); // id and name; none: no role
        QTest::newRow("stored choice") << u"poet"_s << pack << QStringList{u"poet"_s, u"阿诗"_s};
        QTest::newRow("no pack") << u"nurse"_s << u"/nonexistent/roles.json"_s << QStringList();
    }

    void submittedEntry()
    {
        QFETCH(QString, storedRole);
        QFETCH(QString, packPath);
        QFETCH(QStringList, role);
        QBuffer input;
        input.setData("07:00-08:00 | 早饭\n\n08:00-09:00 | 通勤 \n");
        QVERIFY(input.open(QIODevice::ReadOnly));
        const CommandOutcome outcome = run({u"submit"_s, u"--nickname= Ada "_s, u"--email=a@example.org"_s,
                                            u"--occupation=猫"_s, u"--schedule-file"_s, u"-"_s},
                                           u"writer"_s, storedRole, &input, packPath);
        QCOMPARE(outcome.code, 0);
        const QJsonDocument body = QJsonDocument::fromJson(m_server.requests().last().body);
        QCOMPARE(body[u"committer"_s][u"email"_s], u"a@example.org"_s);
        const auto entry = decodeSubmissionEntry(QByteArray::fromBase64(body[u"content"_s].toString().toLatin1()));
        QVERIFY(entry);
        QCOMPARE((QStringList{entry->nickname, entry->email, entry->occupation, entry->schedule}),
                 (QStringList{u" Ada "_s, u"a@example.org"_s, u"猫"_s, QString::fromUtf8(input.data())}));
        const QStringList chosen{entry->selectedRoleID.value_or(QString()),
                                 entry->selectedRoleName.value_or(QString())};
        QCOMPARE(entry->selectedRoleID ? chosen : QStringList(), role);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
