#include "cli/SubmitCommand.h"
#include "library/RoleLibrary.h"
#include "support/TestSupport.h"
#include "upload/FakeContentsServer.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

const QString pack = QStringLiteral(PELLORA_TEST_DATA "/cli_pack.json");

} // namespace

class TestSubmitCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeContentsServer m_server;
    QUrl m_base;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    qsizetype requests() const { return m_server.requests().size(); }

    // `pellora submit ...` in-process against the fake endpoint, with cli_pack.json as the built-in pack and
    // `storedRole` as the stored choice.
    CommandOutcome run(const QStringList& arguments, const QString& token = u"writer"_s, QIODevice* input = nullptr,
                       const QString& storedRole = {}, const QString& packPath = pack)
    {
        const QString settingsPath = path(QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
                                          QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
        if (!storedRole.isEmpty())
            QSettings(settingsPath, QSettings::IniFormat).setValue(RoleLibrary::storageKey, storedRole);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        CommandLineContext context{
            outStream, errStream,
            [settingsPath] { return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat); },
            std::make_shared<FakeClock>(), packPath};
        const UploaderConfig config{m_base, u"bot@example.invalid"_s, 400};
        const int code = runSubmit(
            QStringList{u"pellora submit"_s} + arguments, context, config, [token] { return QStringList{token}; },
            input);
        return {code, out, err};
    }

private slots:
    void initTestCase()
    {
        m_base = m_server.start();
        QVERIFY(m_base.isValid());
        QVERIFY(writeFile(path(u"day.txt"_s), "00:00-01:00 | 睡觉 | 平静 | 家 | 1 | 独处\n"));
        QVERIFY(writeFile(path(u"empty.txt"_s), {}));
        QVERIFY(writeFile(path(u"latin1.txt"_s), "caf\xe9"));
        QVERIFY(writeFile(path(u"limit.txt"_s), QByteArray(maxScheduleBytes, 'a')));
        QVERIFY(writeFile(path(u"over.txt"_s), QByteArray(maxScheduleBytes + 1, 'a')));
        QCOMPARE(::mkfifo(QFile::encodeName(path(u"fifo"_s)).constData(), 0600), 0);
    }

    void exits_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("token"); // "stall" gets no answer and times out
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // standard output starts with it
        QTest::addColumn<QString>("err"); // standard error contains it; empty: nothing on standard error
        const auto row = [](const char* tag, const QStringList& arguments, int code, const QString& err,
                            const QString& token = u"writer"_s, const QString& out = {}) {
            QTest::newRow(tag) << arguments << token << code << out << err;
        };
        const QString nick = u"--nickname=ada"_s;
        const auto file = [this](const QString& name) {
            return u"--schedule-file="_s + path(name);
        };

        row("nothing", {}, 2, u"pellora: submit needs --nickname\n"_s);
        row("empty nickname", {u"--nickname="_s, file(u"day.txt"_s)}, 2, u"pellora: --nickname must not be empty"_s);
        row("no schedule", {nick}, 2, u"pellora: submit needs --schedule-file"_s);
        row("FIFO without a writer", {nick, file(u"fifo"_s)}, 2, u"fifo: it is not a regular file\n"_s);
        row("empty file", {nick, file(u"empty.txt"_s)}, 2, u"is empty"_s);
        row("not UTF-8", {nick, file(u"latin1.txt"_s)}, 2, u"is not UTF-8 text"_s);
        row("over 1 MiB", {nick, file(u"over.txt"_s)}, 2, u"is larger than 1 MiB"_s);
        row("nickname of spaces", {u"--nickname= "_s, file(u"day.txt"_s)}, 0, {}, u"writer"_s, u"上传成功 · "_s);
        row("exactly 1 MiB", {nick, file(u"limit.txt"_s)}, 0, {}, u"writer"_s, u"上传成功 · submissions/ada-"_s);
        row("rejected", {nick, file(u"day.txt"_s)}, 1, u"pellora: GitHub (404): Not Found\n"_s, u"missing"_s);
        row("hostile message", {nick, file(u"day.txt"_s)}, 1,
            u"pellora: GitHub (422): \\x1b[2J\\x0d上传成功 · submissions/x\n"_s, u"hostile"_s);
    }

    // Success is one line on standard output. A failure prints nothing there, and its reason on standard
    // error: refused arguments exit 2 and send nothing, an upload that fails exits 1 with one line.
    void exits()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, token);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const qsizetype sent = requests();
        const CommandOutcome outcome = run(arguments, token);
        QCOMPARE(outcome.code, code);
        QVERIFY2(outcome.out.startsWith(out) && outcome.out.count(u'\n') == (code == 0 ? 1 : 0),
                 qPrintable(outcome.out));
        QVERIFY2(err.isEmpty() ? outcome.err.isEmpty() : outcome.err.contains(err), qPrintable(outcome.err));
        if (code == 1)
            QVERIFY2(outcome.err.startsWith(err) && outcome.err.count(u'\n') == 1 && outcome.err.size() > 10,
                     qPrintable(outcome.err));
        else
            QCOMPARE(requests(), sent + (code == 0 ? 1 : 0));
    }

    // The entry is the one the form builds: the texts as given, the stored choice's id and name.
    void entry_data()
    {
        using Text = std::optional<QString>;
        QTest::addColumn<QString>("storedRole");
        QTest::addColumn<QString>("packPath");
        QTest::addColumn<Text>("id");
        QTest::addColumn<Text>("name");
        QTest::newRow("stored choice") << u"poet"_s << pack << Text(u"poet"_s) << Text(u"阿诗"_s);
        QTest::newRow("unknown stored id") << u"ghost"_s << pack << Text(u"nurse"_s) << Text(u"林"_s);
        QTest::newRow("no pack") << u"nurse"_s << u"/nonexistent/roles.json"_s << Text() << Text();
    }

    void entry()
    {
        QFETCH(QString, storedRole);
        QFETCH(QString, packPath);
        QFETCH(std::optional<QString>, id);
        QFETCH(std::optional<QString>, name);
        const QByteArray schedule = "07:00-08:00 | 早饭\n\n08:00-09:00 | 通勤 \n";
        QBuffer input;
        input.setData(schedule);
        QVERIFY(input.open(QIODevice::ReadOnly));
        const CommandOutcome outcome =
            run({u"--nickname= Ada "_s, u"--email=a@example.org"_s, u"--occupation=猫"_s, u"--schedule-file"_s, u"-"_s},
                u"writer"_s, &input, storedRole, packPath);
        QCOMPARE(outcome.code, 0);
        const QJsonDocument body = QJsonDocument::fromJson(m_server.requests().last().body);
        QCOMPARE(body[u"committer"_s][u"email"_s], u"a@example.org"_s);
        const std::optional<SubmissionEntry> entry =
            decodeSubmissionEntry(QByteArray::fromBase64(body[u"content"_s].toString().toLatin1()));
        QVERIFY(entry);
        QCOMPARE((QStringList{entry->nickname, entry->email, entry->occupation, entry->schedule}),
                 (QStringList{u" Ada "_s, u"a@example.org"_s, u"猫"_s, QString::fromUtf8(schedule)}));
        QCOMPARE(entry->selectedRoleID, id);
        QCOMPARE(entry->selectedRoleName, name);
    }

    // The real binary reads the schedule from its standard input; a build without tokens says so.
    void realBinaryReadsStandardInput()
    {
        if (!usableTokens(builtInTokens()).isEmpty())
            QSKIP("this build carries tokens; the real binary would reach GitHub");
        QTemporaryDir config;
        const QStringList arguments{u"submit"_s, u"--nickname"_s, u"ada"_s, u"--schedule-file"_s, u"-"_s};
        const CommandOutcome noToken = runBinary(arguments, config.path(), "00:00-01:00 | 睡觉\n");
        QCOMPARE(noToken.code, 1);
        QCOMPARE(noToken.out, QString());
        QCOMPARE(noToken.err, u"pellora: 缺少 token，联系运营同学补发 ✋\n"_s);
        const CommandOutcome noInput = runBinary(arguments, config.path());
        QCOMPARE(noInput.code, 2);
        QCOMPARE(noInput.err, u"pellora: the schedule in standard input is empty\n"_s);
        QCOMPARE(QDir(config.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSubmitCommand)
#include "tst_submitcommand.moc"
