#include "upload/FakeContentsServer.h"
#include "upload/GitHubUploader.h"

#include "pellora_version.h"

#include <QRegularExpression>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

const QString fallbackEmail = u"pellora-bot@users.noreply.github.com"_s;
const UploadState uploaded = UploadState::success(u"上传成功 · submissions/hello-world-2025-03-01T08-09-10Z.json"_s);

// No e-mail and no role: the request falls back to the build's address and leaves the role out.
SubmissionEntry entry(const QString& nickname = u"Hello World!"_s)
{
    return {nickname, {}, u"咖啡师"_s, u"起床"_s, {}, {}, u"2025-03-01T08:09:10Z"_s, u"Asia/Shanghai"_s, u"zh_CN"_s};
}

} // namespace

class TestGitHubUploader : public QObject {
    Q_OBJECT

    FakeContentsServer m_server;
    QUrl m_base;

    // Runs one upload to its end in a real event loop (qWaitFor sleeps between passes: a large request crawls).
    static UploadState run(GitHubUploader& uploader, const SubmissionEntry& entry, const QStringList& tokens)
    {
        QSignalSpy spy(&uploader, &GitHubUploader::stateChanged);
        uploader.upload(entry, tokens);
        while (uploader.state().kind == UploadState::Kind::uploading && spy.wait(10'000))
            continue;
        return uploader.state();
    }

    // The Authorization of each request received since `from`.
    QByteArrayList authorizations(qsizetype from) const
    {
        QByteArrayList sent;
        for (const RecordedRequest& request : m_server.requests().sliced(from))
            sent << (request.header("X-Injected").isNull() ? request.header("Authorization") : "<injected>");
        return sent;
    }

private slots:
    void initTestCase()
    {
        m_base = m_server.start();
        QVERIFY(m_base.isValid());
    }

    // Nothing the uploader does may print a line: a warning could carry a token.
    void init() { QTest::failOnWarning(QRegularExpression(u".*"_s)); }

    void tokenLoop_data()
    {
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QByteArrayList>("sent"); // Authorization of each request, in order
        QTest::addColumn<UploadState>("outcome");
        QTest::addColumn<int>("requestMs"); // deadline of each request
        QTest::addColumn<int>("uploadMs");  // deadline of the whole upload

        const auto row = [](const char* name, const QStringList& tokens, const QByteArrayList& sent,
                            const UploadState& outcome, int requestMs = 5000, int uploadMs = 60'000) {
            QTest::newRow(name) << tokens << sent << outcome << requestMs << uploadMs;
        };
        const auto gh = [](int status, const QString& message) {
            return UploadState::failure(u"GitHub (%1): "_s.arg(status) + message);
        };

        row("blank tokens only", {QString(), u" \t\r\n\u00a0"_s}, {},
            UploadState::failure(u"缺少 token，联系运营同学补发 ✋"_s));
        row("blanks dropped, whitespace stripped, fine-grained scheme",
            {u" "_s, QString(), u"\u3000 github_pat_writer\r\n\u2028"_s}, {"Bearer github_pat_writer"}, uploaded);
        row("line break inside a token", {u"writer\r\nX-Injected: yes"_s, u"writer"_s}, {"token writer"}, uploaded);
        row("read-only, in capitals, moves on", {u"readonly"_s, u"writer"_s}, {"token readonly", "token writer"},
            uploaded);
        // The prefix test is case-sensitive; the token never shows in the outcome.
        row("401 stops", {u"GitHub_pat_secret"_s, u"writer"_s}, {"token GitHub_pat_secret"},
            gh(401, u"Bad credentials"_s));
        row("other 403 stops", {u"forbidden"_s, u"writer"_s}, {"token forbidden"},
            gh(403, u"Must have admin rights to Repository."_s));
        row("301 is not followed", {u"moved"_s, u"writer"_s}, {"token moved"}, gh(301, u"GitHub 301"_s));
        row("timeout, then read-only: the last error counts", {u"stall"_s, u"readonly"_s},
            {"token stall", "token readonly"}, gh(403, u"RESOURCE NOT ACCESSIBLE BY INTEGRATION"_s), 300);
        // Each byte would restart an idle timeout; the deadlines count from the start.
        row("trickle past the request's deadline", {u"trickle-500"_s, u"writer"_s},
            {"token trickle-500", "token writer"}, uploaded, 300);
        row("trickle past the upload's deadline", {u"trickle-500"_s, u"writer"_s}, {"token trickle-500"},
            UploadState::failure(u"The request timed out"_s), 60'000, 500);
        row("trickling body after 201", {u"trickle-201"_s, u"writer"_s}, {"token trickle-201"}, uploaded);
        row("201, then closed mid-body", {u"cut"_s, u"writer"_s}, {"token cut"}, uploaded);
        // Sent once, never again with the next token.
        row("answer that is not HTTP", {u"garbage"_s, u"writer"_s}, {"token garbage"},
            UploadState::failure(u"The server's answer is not an HTTP response"_s));
        row("2 MiB answer", {u"huge"_s, u"writer"_s}, {"token huge"},
            UploadState::failure(u"The server's answer is larger than 1048576 bytes"_s));
    }

    void tokenLoop()
    {
        QFETCH(QStringList, tokens);
        QFETCH(QByteArrayList, sent);
        QFETCH(UploadState, outcome);
        QFETCH(int, requestMs);
        QFETCH(int, uploadMs);

        const qsizetype before = m_server.requests().size();
        GitHubUploader uploader({m_base, fallbackEmail, requestMs, 1024 * 1024, uploadMs});
        const UploadState state = run(uploader, entry(), tokens);
        QCOMPARE(state.text, outcome.text);
        QCOMPARE(state.kind, outcome.kind);
        QCOMPARE(authorizations(before), sent);
    }

    void sendsTheExpectedRequest()
    {
        SubmissionEntry submission = entry(u"小明"_s);
        submission.schedule = QString(1024 * 1024, u'/') + u'\n'; // a large body goes out whole

        GitHubUploader uploader({m_base, fallbackEmail});
        QCOMPARE(run(uploader, submission, {u"writer"_s}).text,
                 u"上传成功 · submissions/小明-2025-03-01T08-09-10Z.json"_s);

        const RecordedRequest request = m_server.requests().last();
        QCOMPARE(
            request.path,
            QByteArray("/repos/quennet/pellora/contents/submissions/%E5%B0%8F%E6%98%8E-2025-03-01T08-09-10Z.json"));
        QCOMPARE(request.header("Accept"), QByteArray("application/vnd.github+json"));
        QCOMPARE(request.header("User-Agent"), QByteArray("Pellora/" PELLORA_VERSION));
        // Apart from those, only what the HTTP client itself needs: no content type, no API version.
        const QByteArrayList allowed{"authorization",  "accept",          "user-agent",      "host",
                                     "content-length", "accept-encoding", "accept-language", "connection"};
        for (const auto& [name, value] : request.headers)
            QVERIFY2(allowed.contains(name.toLower()), name.constData());

        // Compact, in order, "/" escaped, the build's e-mail for none typed; no role is left out, not null.
        const QByteArray content =
            QByteArray(R"({"nickname":"小明","email":"","occupation":"咖啡师","schedule":"SCHEDULE",)"
                       R"("createdAtISO":"2025-03-01T08:09:10Z","timezone":"Asia\/Shanghai","deviceLocale":"zh_CN"})")
                .replace("SCHEDULE", QByteArray("\\/").repeated(1024 * 1024) + "\\n");
        QCOMPARE(request.body,
                 QByteArray(R"({"message":"Pellora (Quillmere) update for 小明","content":"CONTENT",)"
                            R"("committer":{"name":"小明","email":"pellora-bot@users.noreply.github.com"}})")
                     .replace("CONTENT", content.toBase64().replace("/", "\\/")));
    }

    void slug_data()
    {
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("slug");

        QTest::newRow("inner runs kept, ends trimmed") << u" A  B "_s << u"a--b"_s;
        QTest::newRow("punctuation only") << u"!?…"_s << u"anonymous"_s;
        QTest::newRow("slashes, dots, escapes") << u"a/b\\c／d.json%2f"_s << u"a-b-c-d-json-2f"_s;
        QTest::newRow("accents, combining mark") << u"Zoë ÅNGSTRÖM Cafe\u0301"_s << u"zoë-ångström-cafe\u0301"_s;
        QTest::newRow("emoji split once each") << u"a😀b🎉"_s << u"a-b"_s;
    }

    void slug()
    {
        QFETCH(QString, nickname);
        QFETCH(QString, slug);
        QCOMPARE(submissionSlug(nickname), slug);
    }

    // The app writes the stamp itself; an entry from elsewhere must still not leave the folder.
    void pathKeepsToTheFolder()
    {
        SubmissionEntry submission = entry();
        submission.createdAtISO = u"2025-03-01T08:09:10.5+08:00/../a\\b?c#d\ne／f"_s;
        QCOMPARE(submissionPath(submission),
                 u"submissions/hello-world-2025-03-01T08-09-10.5+08-00-..-a-b-c-d-e-f.json"_s);
    }

    void tlsErrorsAreNeverIgnored()
    {
        FakeContentsServer tlsServer;
        const QUrl base =
            tlsServer.start(UPLOAD_TEST_DATA "/throwaway-localhost.crt", UPLOAD_TEST_DATA "/throwaway-localhost.key");
        QVERIFY(base.isValid());
        GitHubUploader uploader({base, fallbackEmail});
        const UploadState outcome = run(uploader, entry(), {u"writer"_s, u"github_pat_writer"_s});
        QVERIFY(tlsServer.requests().isEmpty());
        QVERIFY2(outcome.text.contains(u"SSL"_s), qPrintable(outcome.text));
    }

    // Replies the stand-in does not produce; the others are met through the server above.
    void judgesReply_data()
    {
        QTest::addColumn<ReplyFacts>("reply");
        QTest::addColumn<AttemptOutcome>("outcome");

        using E = QNetworkReply::NetworkError;
        const auto row = [](const char* name, E error, std::optional<int> status, const QByteArray& body,
                            const AttemptOutcome& outcome) {
            QTest::newRow(name) << ReplyFacts{error, {}, status, body, false} << outcome;
        };
        const auto github = [](int status) {
            return AttemptOutcome::rejectedWith(UploadError::github(u"GitHub %1"_s.arg(status), status));
        };
        const AttemptOutcome notHttp =
            AttemptOutcome::rejectedWith(UploadError::transport(u"The server's answer is not an HTTP response"_s));
        const AttemptOutcome uploaded =
            AttemptOutcome::succeeded(u"上传成功 · submissions/x-2025-03-01T08-09-10Z.json"_s);

        row("199", E::NoError, 199, {}, github(199));
        row("closed after a 2xx status", E::RemoteHostClosedError, 201, {}, uploaded);
        row("2xx that does not decompress", E::UnknownContentError, 200, {}, uploaded);
        row("protocol failure", E::ProtocolFailure, {}, {}, notHttp);
        row("no error, no status", E::NoError, {}, {}, notHttp);
        row("message not UTF-8", E::ContentAccessDenied, 403, "{\"message\":\"f\xfcr\"}", github(403));
    }

    void judgesReply()
    {
        QFETCH(ReplyFacts, reply);
        QFETCH(AttemptOutcome, outcome);
        QCOMPARE(judgeReply(reply, u"submissions/x-2025-03-01T08-09-10Z.json"_s, 1024 * 1024), outcome);
    }

    void decodesTokenList_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("tokens");

        const auto row = [](const char* name, const QStringList& stored, const QStringList& tokens) {
            QTest::newRow(name) << stored << tokens;
        };
        row("entries in order, whitespace kept for upload to strip", {u"Z2hwX2FiYw=="_s, QString(), u"IHggCg=="_s},
            {u"ghp_abc"_s, QString(), u" x \n"_s});
        row("line break inside or not UTF-8 skipped", {u"Z2hw\nX2FiYw=="_s, u"/w=="_s, u"YQ=="_s}, {u"a"_s});
        row("outside the alphabet or padding missing skipped", {u"Y-_a"_s, u"YQ!="_s, u"YQ"_s, u"YWI"_s}, {});
    }

    void decodesTokenList()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, tokens);
        QCOMPARE(decodeTokenList(stored), tokens);
    }
};

QTEST_GUILESS_MAIN(TestGitHubUploader)
#include "tst_githubuploader.moc"
