#include "upload/FakeContentsServer.h"
#include "upload/GitHubUploader.h"

#include "pellora_version.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace pellora {

char* toString(const UploadState& state)
{
    static const char* const kinds[] = {"idle", "uploading", "success", "failure"};
    // Long texts are cut so that a failure report stays readable.
    return QTest::toString(QString::fromLatin1(kinds[int(state.kind)]) + u": "_s + state.text.left(300));
}

} // namespace pellora

namespace {

const QString fallbackEmail = u"pellora-bot@users.noreply.github.com"_s;
const QString helloWorldPath = u"submissions/hello-world-2025-03-01T08-09-10Z.json"_s;
const QString noToken = u"缺少 token，联系运营同学补发 ✋"_s;
const QString timedOut = u"The request timed out"_s;
const QString tooLarge = u"The server's answer is larger than 1048576 bytes"_s;

SubmissionEntry entry(const QString& nickname = u"Hello World!"_s)
{
    return SubmissionEntry{nickname,
                           u"me@example.com"_s,
                           u"咖啡师"_s,
                           u"08:00-09:00 起床\n09:00-18:00 上班/摸鱼"_s,
                           u"alpha"_s,
                           u"阿尔法"_s,
                           u"2025-03-01T08:09:10Z"_s,
                           u"Asia/Shanghai"_s,
                           u"zh_CN"_s};
}

UploadState uploaded(const QString& path = helloWorldPath)
{
    return UploadState::success(u"上传成功 · "_s + path);
}

bool isFinal(const UploadState& state)
{
    return state.kind == UploadState::Kind::success || state.kind == UploadState::Kind::failure;
}

} // namespace

class TestGitHubUploader : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<FakeContentsServer> m_server;
    QUrl m_base;

    UploaderConfig config(int timeoutMs = 5000) const { return {m_base, fallbackEmail, timeoutMs, 1024 * 1024}; }

    // Runs one upload to its end (at most 10 s) and returns the states it went through. A real event loop,
    // not qWaitFor: that one sleeps between passes, which makes a large request crawl.
    static QList<UploadState> run(GitHubUploader& uploader, const SubmissionEntry& entry, const QStringList& tokens)
    {
        QList<UploadState> states;
        QEventLoop loop;
        QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
        const QMetaObject::Connection connection =
            connect(&uploader, &GitHubUploader::stateChanged, &loop, [&](const UploadState& state) {
                states << state;
                if (isFinal(state))
                    loop.quit();
            });
        uploader.upload(entry, tokens);
        if (states.isEmpty() || !isFinal(states.last()))
            loop.exec();
        disconnect(connection);
        return states;
    }

    QStringList storedFiles() const
    {
        QStringList files;
        QDirIterator it(m_root->path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(m_root->path()).relativeFilePath(it.next());
        return files;
    }

    QByteArray stored(const QString& path) const
    {
        QFile file(m_root->filePath(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        // Nothing the uploader does may print a line: a warning could carry a token.
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_server = std::make_unique<FakeContentsServer>(m_root->path());
        m_base = m_server->start();
        QVERIFY(m_base.isValid());
    }

    void cleanup() { m_server.reset(); }

    void tokenLoop_data()
    {
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QByteArrayList>("sent"); // Authorization of each request, in order
        QTest::addColumn<UploadState>("outcome");

        const auto gh = [](int status, const QString& message) {
            return UploadState::failure(u"GitHub (%1): "_s.arg(status) + message);
        };
        const QString readOnly = u"Resource not accessible by personal access token"_s;

        QTest::newRow("classic token") << QStringList{u"writer"_s} << 5000 << QByteArrayList{"token writer"}
                                       << uploaded();
        QTest::newRow("fine-grained token")
            << QStringList{u"github_pat_writer"_s} << 5000 << QByteArrayList{"Bearer github_pat_writer"} << uploaded();
        QTest::newRow("prefix test is case-sensitive")
            << QStringList{u"GitHub_pat_writer"_s} << 5000 << QByteArrayList{"token GitHub_pat_writer"}
            << gh(401, u"Bad credentials"_s);
        QTest::newRow("blanks dropped, whitespace stripped")
            << QStringList{u" "_s, QString(), u"\u3000 github_pat_writer\r\n\u2028"_s} << 5000
            << QByteArrayList{"Bearer github_pat_writer"} << uploaded();
        QTest::newRow("line break inside a token") << QStringList{u"writer\r\nX-Injected: yes"_s, u"writer"_s} << 5000
                                                   << QByteArrayList{"token writer"} << uploaded();

        QTest::newRow("read-only, then writer") << QStringList{u"readonly"_s, u"writer"_s} << 5000
                                                << QByteArrayList{"token readonly", "token writer"} << uploaded();
        QTest::newRow("read-only in capitals moves on")
            << QStringList{u"readonly-caps"_s, u"writer"_s} << 5000
            << QByteArrayList{"token readonly-caps", "token writer"} << uploaded();
        QTest::newRow("both read-only: the second answer's text")
            << QStringList{u"readonly"_s, u"readonly-caps"_s} << 5000
            << QByteArrayList{"token readonly", "token readonly-caps"}
            << gh(403, u"RESOURCE NOT ACCESSIBLE BY INTEGRATION"_s);
        QTest::newRow("other 403 stops") << QStringList{u"forbidden"_s, u"writer"_s} << 5000
                                         << QByteArrayList{"token forbidden"}
                                         << gh(403, u"Must have admin rights to Repository."_s);
        QTest::newRow("401 stops") << QStringList{u"secret-7d1e"_s, u"writer"_s} << 5000
                                   << QByteArrayList{"token secret-7d1e"} << gh(401, u"Bad credentials"_s);
        QTest::newRow("404 stops") << QStringList{u"missing"_s, u"writer"_s} << 5000 << QByteArrayList{"token missing"}
                                   << gh(404, u"Not Found"_s);
        QTest::newRow("500 without JSON") << QStringList{u"broken"_s, u"writer"_s} << 5000
                                          << QByteArrayList{"token broken"} << gh(500, u"GitHub 500"_s);
        QTest::newRow("301 is not followed") << QStringList{u"moved"_s, u"writer"_s} << 5000
                                             << QByteArrayList{"token moved"} << gh(301, u"Moved Permanently"_s);
        QTest::newRow("200") << QStringList{u"status-200"_s} << 5000 << QByteArrayList{"token status-200"}
                             << uploaded();
        QTest::newRow("300") << QStringList{u"status-300"_s, u"writer"_s} << 5000 << QByteArrayList{"token status-300"}
                             << gh(300, u"GitHub 300"_s);

        QTest::newRow("timeout moves on") << QStringList{u"stall"_s, u"writer"_s} << 300
                                          << QByteArrayList{"token stall", "token writer"} << uploaded();
        QTest::newRow("timeouts only") << QStringList{u"stall"_s, u"stall"_s} << 300
                                       << QByteArrayList{"token stall", "token stall"}
                                       << UploadState::failure(timedOut);
        QTest::newRow("timeout, then read-only: the 403 counts")
            << QStringList{u"stall"_s, u"readonly"_s} << 300 << QByteArrayList{"token stall", "token readonly"}
            << gh(403, readOnly);

        QTest::newRow("10 MB answer") << QStringList{u"huge"_s, u"writer"_s} << 5000 << QByteArrayList{"token huge"}
                                      << UploadState::failure(tooLarge);
        QTest::newRow("endless answer") << QStringList{u"endless"_s, u"writer"_s} << 5000
                                        << QByteArrayList{"token endless"} << UploadState::failure(tooLarge);
        QTest::newRow("message not UTF-8")
            << QStringList{u"latin1"_s} << 5000 << QByteArrayList{"token latin1"} << gh(403, u"GitHub 403"_s);
        QTest::newRow("100 KB message") << QStringList{u"long-message"_s} << 5000
                                        << QByteArrayList{"token long-message"}
                                        << gh(422, QString::fromLatin1(FakeContentsServer::longMessage()));
    }

    void tokenLoop()
    {
        QFETCH(QStringList, tokens);
        QFETCH(int, timeoutMs);
        QFETCH(QByteArrayList, sent);
        QFETCH(UploadState, outcome);

        GitHubUploader uploader(config(timeoutMs));
        QCOMPARE(uploader.state(), UploadState::idle());
        const QList<UploadState> states = run(uploader, entry(), tokens);
        QCOMPARE(states, (QList<UploadState>{UploadState::uploading(), outcome}));
        QCOMPARE(uploader.state(), outcome);

        QByteArrayList authorizations;
        for (const RecordedRequest& request : m_server->requests()) {
            QCOMPARE(request.method, QByteArray("PUT"));
            QVERIFY(request.header("X-Injected").isNull());
            authorizations << request.header("Authorization");
        }
        QCOMPARE(authorizations, sent);
        QVERIFY(!outcome.text.contains(u"secret"_s));
        // Only the writer's accepted request leaves a file.
        QCOMPARE(storedFiles(), outcome.kind == UploadState::Kind::success && sent.last().endsWith("writer")
                                    ? QStringList{helloWorldPath}
                                    : QStringList{});
    }

    void answerThatIsNotHttp()
    {
        // Qt takes it for a connection closed before the answer, sends the request again a few times on its own
        // and then reports "Connection closed": a network failure, so the next token is tried.
        GitHubUploader uploader(config());
        QCOMPARE(run(uploader, entry(), {u"garbage"_s, u"writer"_s}).last(), uploaded());
        QByteArrayList authorizations;
        for (const RecordedRequest& request : m_server->requests())
            authorizations << request.header("Authorization");
        QCOMPARE(authorizations.last(), QByteArray("token writer"));
        authorizations.removeLast();
        QVERIFY(!authorizations.isEmpty());
        QCOMPARE(authorizations.count("token garbage"), authorizations.size());
    }

    void noUsableTokenFailsAtOnce_data()
    {
        QTest::addColumn<QStringList>("tokens");
        QTest::newRow("none") << QStringList();
        QTest::newRow("blank") << QStringList{QString(), u" \t\r\n\u00a0"_s};
        QTest::newRow("the repository's own entries") << decodeTokenList({QString(), QString()});
    }

    void noUsableTokenFailsAtOnce()
    {
        QFETCH(QStringList, tokens);
        GitHubUploader uploader(config());
        QCOMPARE(run(uploader, entry(), tokens), QList<UploadState>{UploadState::failure(noToken)});
        QVERIFY(m_server->requests().isEmpty());
    }

    void sendsTheExpectedRequest()
    {
        SubmissionEntry submission = entry(u"小明"_s);
        submission.email.clear();
        submission.selectedRoleID.reset();
        submission.selectedRoleName.reset();

        GitHubUploader uploader(config());
        const QString path = u"submissions/小明-2025-03-01T08-09-10Z.json"_s;
        QCOMPARE(run(uploader, submission, {u"writer"_s}).last(), uploaded(path));

        QCOMPARE(m_server->requests().size(), 1);
        const RecordedRequest request = m_server->requests().first();
        QCOMPARE(request.method, QByteArray("PUT"));
        QCOMPARE(
            request.path,
            QByteArray("/repos/quennet/pellora/contents/submissions/%E5%B0%8F%E6%98%8E-2025-03-01T08-09-10Z.json"));
        QCOMPARE(request.header("Authorization"), QByteArray("token writer"));
        QCOMPARE(request.header("Accept"), QByteArray("application/vnd.github+json"));
        QCOMPARE(request.header("User-Agent"), QByteArray("Pellora/" PELLORA_VERSION));
        // Apart from those, only what the HTTP client itself needs: no content type, no API version.
        const QByteArrayList allowed{"authorization",  "accept",          "user-agent",      "host",
                                     "content-length", "accept-encoding", "accept-language", "connection"};
        for (const auto& [name, value] : request.headers)
            QVERIFY2(allowed.contains(name.toLower()), name.constData());

        // Compact, members in order, "/" escaped.
        static const QRegularExpression shape(
            uR"re(^\{"message":"Pellora \(Quillmere\) update for 小明","content":"([A-Za-z0-9+\\/]+=*)",)re"
            uR"re("committer":\{"name":"小明","email":"pellora-bot@users.noreply.github.com"\}\}$)re"_s);
        const QRegularExpressionMatch match = shape.match(QString::fromUtf8(request.body));
        QVERIFY2(match.hasMatch(), request.body.left(300).constData());
        const QByteArray content = QByteArray::fromBase64(match.captured(1).replace(u"\\/"_s, u"/"_s).toLatin1());
        QCOMPARE(content, encodeSubmissionEntry(submission));
        QVERIFY(!content.contains("selectedRole"));
        QCOMPARE(decodeSubmissionEntry(content), std::optional(submission));
        // The stand-in stored exactly the entry's JSON.
        QCOMPARE(stored(path), content);
    }

    void existingFileIsRejected()
    {
        GitHubUploader uploader(config());
        QCOMPARE(run(uploader, entry(), {u"writer"_s}).last(), uploaded());
        const QByteArray first = stored(helloWorldPath);

        // The same uploader runs a second call from its final state.
        SubmissionEntry again = entry();
        again.schedule = u"changed"_s;
        QCOMPARE(run(uploader, again, {u"writer"_s, u"github_pat_writer"_s}),
                 (QList<UploadState>{
                     UploadState::uploading(),
                     UploadState::failure(u"GitHub (422): Invalid request.\n\n\"sha\" wasn't supplied."_s)}));
        QCOMPARE(m_server->requests().size(), 2);
        QCOMPARE(stored(helloWorldPath), first);
    }

    void hostileInputStaysInSubmissions_data()
    {
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("schedule");
        QTest::addColumn<QString>("path");

        const QString schedule = u"09:00-10:00 x"_s;
        QTest::newRow("parent folders") << u"../../etc"_s << schedule << u"submissions/etc-2025-03-01T08-09-10Z.json"_s;
        QTest::newRow("query and fragment")
            << u"a?b#c"_s << schedule << u"submissions/a-b-c-2025-03-01T08-09-10Z.json"_s;
        QTest::newRow("1 MB schedule") << u"big"_s << QString(1024 * 1024, u'/')
                                       << u"submissions/big-2025-03-01T08-09-10Z.json"_s;
    }

    void hostileInputStaysInSubmissions()
    {
        QFETCH(QString, nickname);
        QFETCH(QString, schedule);
        QFETCH(QString, path);
        SubmissionEntry submission = entry(nickname);
        submission.schedule = schedule;

        GitHubUploader uploader(config());
        QCOMPARE(run(uploader, submission, {u"writer"_s}).last(), uploaded(path));
        QCOMPARE(storedFiles(), QStringList{path});
        QCOMPARE(decodeSubmissionEntry(stored(path)), std::optional(submission));
    }

    void tlsErrorsAreNeverIgnored()
    {
        FakeContentsServer tlsServer(m_root->path());
        const QUrl base = tlsServer.startTls(UPLOAD_TEST_DATA "/throwaway-localhost.crt",
                                             UPLOAD_TEST_DATA "/throwaway-localhost.key");
        QVERIFY(base.isValid());
        GitHubUploader uploader({base, fallbackEmail, 5000, 1024 * 1024});

        const UploadState outcome = run(uploader, entry(), {u"writer"_s, u"github_pat_writer"_s}).last();
        // Each token got its own connection, and each was refused before a request was sent.
        QCOMPARE(tlsServer.handshakes(), 2);
        QVERIFY(tlsServer.requests().isEmpty());
        QCOMPARE(outcome.kind, UploadState::Kind::failure);
        QVERIFY2(outcome.text.contains(u"SSL"_s), qPrintable(outcome.text));
        QVERIFY(storedFiles().isEmpty());
    }

    void closedPortMovesOn()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();

        GitHubUploader uploader({QUrl(u"http://127.0.0.1:%1"_s.arg(port)), fallbackEmail, 5000, 1024 * 1024});
        QCOMPARE(run(uploader, entry(), {u"writer"_s, u"writer"_s}).last(),
                 UploadState::failure(u"Connection refused"_s));
    }

    void destroyedWhileUploading()
    {
        auto uploader = std::make_unique<GitHubUploader>(config());
        QList<UploadState> states;
        connect(uploader.get(), &GitHubUploader::stateChanged, [&](const UploadState& state) { states << state; });
        uploader->upload(entry(), {u"stall"_s});
        QTRY_COMPARE(m_server->requests().size(), 1);
        uploader.reset();
        QTest::qWait(50);
        QCOMPARE(states, QList<UploadState>{UploadState::uploading()});
    }

    void judgesReply_data()
    {
        QTest::addColumn<ReplyFacts>("reply");
        QTest::addColumn<AttemptOutcome>("outcome");

        using E = QNetworkReply::NetworkError;
        const auto facts = [](E error, const QString& text, std::optional<int> status, const QByteArray& body = {}) {
            return ReplyFacts{error, text, status, body, false};
        };
        const QString path = u"submissions/x-2025-03-01T08-09-10Z.json"_s;
        const AttemptOutcome notHttp =
            AttemptOutcome::rejectedWith(UploadError::transport(u"The server's answer is not an HTTP response"_s));

        QTest::newRow("created") << facts(E::NoError, u"Unknown error"_s, 201)
                                 << AttemptOutcome::succeeded(u"上传成功 · "_s + path);
        QTest::newRow("199") << facts(E::NoError, QString(), 199)
                             << AttemptOutcome::rejectedWith(UploadError::github(u"GitHub 199"_s, 199));
        QTest::newRow("300") << facts(E::NoError, QString(), 300)
                             << AttemptOutcome::rejectedWith(UploadError::github(u"GitHub 300"_s, 300));
        QTest::newRow("404: Qt's error gives way to the status")
            << facts(E::ContentNotFoundError, u"Error transferring"_s, 404, R"({"message":"Not Found"})")
            << AttemptOutcome::rejectedWith(UploadError::github(u"Not Found"_s, 404));
        QTest::newRow("timeout") << facts(E::OperationCanceledError, u"Operation canceled"_s, {})
                                 << AttemptOutcome::failedWith(u"The request timed out"_s);
        QTest::newRow("refused") << facts(E::ConnectionRefusedError, u"Connection refused"_s, {})
                                 << AttemptOutcome::failedWith(u"Connection refused"_s);
        QTest::newRow("closed after a 2xx status") << facts(E::RemoteHostClosedError, u"Connection closed"_s, 201)
                                                   << AttemptOutcome::failedWith(u"Connection closed"_s);
        QTest::newRow("2xx that does not decompress") << facts(E::UnknownContentError, u"Decompression failed: "_s, 200)
                                                      << AttemptOutcome::failedWith(u"Decompression failed: "_s);
        QTest::newRow("protocol failure") << facts(E::ProtocolFailure, u"Error reading status"_s, {}) << notHttp;
        QTest::newRow("no error, no status") << facts(E::NoError, QString(), {}) << notHttp;
        QTest::newRow("too large") << ReplyFacts{E::OperationCanceledError, u"Operation canceled"_s, 200, {}, true}
                                   << AttemptOutcome::rejectedWith(UploadError::transport(
                                          u"The server's answer is larger than 1048576 bytes"_s));
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

        QTest::newRow("two entries, in order") << QStringList{u"Z2hwX2FiYw=="_s, u"Z2l0aHViX3BhdF94eXo="_s}
                                               << QStringList{u"ghp_abc"_s, u"github_pat_xyz"_s};
        QTest::newRow("empty entries give empty texts")
            << QStringList{QString(), QString()} << QStringList{QString(), QString()};
        QTest::newRow("whitespace kept for upload to strip") << QStringList{u"IHggCg=="_s} << QStringList{u" x \n"_s};
        QTest::newRow("line break inside skipped")
            << QStringList{u"Z2hw\nX2FiYw=="_s, u"YQ=="_s} << QStringList{u"a"_s};
        QTest::newRow("outside the alphabet skipped") << QStringList{u"Y-_a"_s, u"YQ!="_s} << QStringList();
        QTest::newRow("missing padding skipped") << QStringList{u"YQ"_s, u"YWI"_s} << QStringList();
        QTest::newRow("not UTF-8 skipped") << QStringList{u"/w=="_s, u"YQ=="_s} << QStringList{u"a"_s};
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
