#include "GitHubUploader.h"

#include "pellora_upload_config.h"
#include "pellora_version.h"

#include <QDeadlineTimer>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace pellora {

using namespace Qt::StringLiterals;

namespace {

// The reply's own buffer is capped at this size and drained in pieces of it, so an answer occupies at most
// maxResponseBytes plus one piece however fast the server sends.
constexpr qint64 readChunkBytes = 64 * 1024;

// The request body, readable once. Qt sends a request again by itself, token included, when the answer is not
// HTTP or the connection ends before one; a body it cannot rewind makes it report ContentReSendError instead,
// so each attempt reaches the server at most once.
class OneShotBody final : public QIODevice {
public:
    explicit OneShotBody(QByteArray data) : m_data(std::move(data)) { open(QIODevice::ReadOnly); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_read + QIODevice::bytesAvailable(); }
    bool reset() override { return false; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, m_data.size() - m_read);
        std::memcpy(data, m_data.constData() + m_read, size_t(count));
        m_read += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_read = 0;
};

bool isSuccessStatus(int statusCode)
{
    return statusCode >= 200 && statusCode <= 299;
}

QString timedOut()
{
    return GitHubUploader::tr("The request timed out");
}

QString notHttp()
{
    return GitHubUploader::tr("The server's answer is not an HTTP response");
}

// A read-only token is answered with this 403; another token may still have write access.
bool movesOnToNextToken(const UploadError& error)
{
    return error.kind == UploadError::Kind::github && error.statusCode == 403 &&
           error.message.toLower().contains("resource not accessible"_L1);
}

// Connection and proxy errors: the exchange broke off, whatever status may have arrived before.
bool isNetworkError(QNetworkReply::NetworkError error)
{
    return error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

// A line break in a header value would end the header and let the rest pass as headers of its own.
bool fitsInHeader(const QString& token)
{
    return std::none_of(token.cbegin(), token.cend(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QString UploadError::description() const
{
    if (kind == Kind::github)
        return u"GitHub ("_s + QString::number(statusCode) + u"): "_s + message;
    return message;
}

UploaderConfig builtInUploaderConfig()
{
    UploaderConfig config;
    config.apiBase = QUrl(QString::fromUtf8(PELLORA_API_BASE));
    config.fallbackEmail = QString::fromUtf8(PELLORA_FALLBACK_EMAIL);
    return config;
}

QStringList builtInTokens()
{
    static constexpr const char* storedEntries[] = {PELLORA_UPLOAD_TOKEN_ENTRIES};
    QStringList entries;
    for (const char* entry : storedEntries)
        entries << QString::fromUtf8(entry);
    return decodeTokenList(entries);
}

QStringList decodeTokenList(const QStringList& storedEntries)
{
    QStringList tokens;
    for (const QString& stored : storedEntries) {
        // Strict Base64: nothing outside the alphabet, no whitespace, and the closing "=" where the length
        // needs them (Qt alone would accept a text without them).
        if (stored.size() % 4 != 0 || !isAscii(stored))
            continue;
        const QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(stored.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString token = utf8.decode(decoded.decoded);
        if (utf8.hasError())
            continue;
        tokens << token;
    }
    return tokens;
}

AttemptOutcome judgeReply(const ReplyFacts& reply, const QString& path, qint64 maxResponseBytes)
{
    // The file is written once the server says so: a body cut short or undecodable afterwards cannot undo it.
    if (reply.statusCode && isSuccessStatus(*reply.statusCode))
        return judgeResponse(*reply.statusCode, reply.body, path);
    if (reply.tooLarge) {
        return AttemptOutcome::rejectedWith(UploadError::transport(
            GitHubUploader::tr("The server's answer is larger than %1 bytes").arg(maxResponseBytes)));
    }
    // No status line could be read (garbage, or the connection ended first) and the one-shot body forbids the
    // resend Qt would make. Qt tells the two apart no further; the request may have been acted on, so it is
    // not sent again with another token.
    if (reply.error == QNetworkReply::ContentReSendError)
        return AttemptOutcome::rejectedWith(UploadError::transport(notHttp()));
    if (isNetworkError(reply.error))
        return AttemptOutcome::failedWith(reply.errorString);
    // Qt turns a status from 400 up into an error of its own; then the status decides. Below 400 an error
    // means the answer itself was unusable (a body that does not decompress, say).
    if (reply.statusCode && (reply.error == QNetworkReply::NoError || *reply.statusCode >= 400))
        return judgeResponse(*reply.statusCode, reply.body, path);
    if (reply.error == QNetworkReply::NoError || reply.error == QNetworkReply::ProtocolFailure)
        return AttemptOutcome::rejectedWith(UploadError::transport(notHttp()));
    return AttemptOutcome::failedWith(reply.errorString);
}

AttemptOutcome judgeResponse(int statusCode, const QByteArray& body, const QString& path)
{
    if (isSuccessStatus(statusCode))
        return AttemptOutcome::succeeded(GitHubUploader::tr("上传成功 · %1").arg(path));
    const std::optional<GitHubError> error = decodeGitHubError(body);
    const QString message = error ? error->message : u"GitHub "_s + QString::number(statusCode);
    return AttemptOutcome::rejectedWith(UploadError::github(message, statusCode));
}

// One call of upload: what it still has to try and the error that counts when nothing is left.
struct GitHubUploader::Run {
    SubmissionEntry entry;
    QStringList tokens;
    qsizetype next = 0;
    std::optional<UploadError> lastError;
    QDeadlineTimer deadline; // of the whole upload
};

GitHubUploader::GitHubUploader(UploaderConfig config, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_network(new QNetworkAccessManager(this))
{}

// Replies in flight die with the network manager, after QObject has cut their connections to this object,
// so no callback runs into a half-destroyed uploader.
GitHubUploader::~GitHubUploader() = default;

QStringList usableTokens(const QStringList& tokens)
{
    QStringList usable;
    for (const QString& token : tokens) {
        QString stripped = token.trimmed();
        if (!stripped.isEmpty())
            usable << stripped;
    }
    return usable;
}

QString missingTokenText()
{
    return GitHubUploader::tr("缺少 token，联系运营同学补发 ✋");
}

void GitHubUploader::upload(const SubmissionEntry& entry, const QStringList& tokens)
{
    const QStringList usable = usableTokens(tokens);
    if (usable.isEmpty()) {
        setState(UploadState::failure(missingTokenText()));
        return;
    }
    setState(UploadState::uploading());
    tryNextToken(std::make_shared<Run>(Run{entry, usable, 0, std::nullopt, QDeadlineTimer(m_config.uploadTimeoutMs)}));
}

void GitHubUploader::tryNextToken(const std::shared_ptr<Run>& run)
{
    if (run->next == run->tokens.size()) {
        setState(UploadState::failure(run->lastError ? run->lastError->description() : tr("所有 token 都上传失败 😢")));
        return;
    }
    // An attempt cut short by this deadline fails as timed out and lands here again.
    if (run->deadline.hasExpired()) {
        setState(UploadState::failure(timedOut()));
        return;
    }
    const QString token = run->tokens[run->next++];
    const qint64 timeoutMs = std::min<qint64>(m_config.timeoutMs, run->deadline.remainingTime());
    attemptUpload(run->entry, token, timeoutMs, [this, run](const AttemptOutcome& outcome) {
        switch (outcome.kind) {
        case AttemptOutcome::Kind::success:
            setState(UploadState::success(outcome.text));
            return;
        case AttemptOutcome::Kind::rejected:
            if (!movesOnToNextToken(outcome.error)) {
                setState(UploadState::failure(outcome.error.description()));
                return;
            }
            break;
        case AttemptOutcome::Kind::failed:
            break;
        }
        run->lastError = outcome.error;
        tryNextToken(run);
    });
}

void GitHubUploader::attemptUpload(const SubmissionEntry& entry, const QString& token, qint64 timeoutMs,
                                   std::function<void(const AttemptOutcome&)> done)
{
    const QString path = submissionPath(entry);
    // Parsed from the whole text: characters a path may not carry (CJK in the slug) are sent percent-encoded.
    const QUrl url(m_config.apiBase.toString(QUrl::StripTrailingSlash) + u"/repos/quennet/pellora/contents/"_s + path);
    if (!url.isValid()) {
        done(AttemptOutcome::failedWith(url.errorString()));
        return;
    }
    if (!fitsInHeader(token)) {
        done(AttemptOutcome::failedWith(tr("The token holds characters that cannot be sent in an HTTP header")));
        return;
    }

    const QByteArray payload = encodePayload(entry, m_config.fallbackEmail);
    QNetworkRequest request(url);
    // Qt follows redirects by default and turns a PUT answered by 301 into a GET, whose 2xx would pass for
    // an upload; a redirect is judged like any other status instead.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    const QByteArray scheme = token.startsWith("github_pat_"_L1) ? "Bearer " : "token ";
    request.setRawHeader("Authorization", scheme + token.toUtf8());
    request.setRawHeader("Accept", "application/vnd.github+json");
    request.setRawHeader("User-Agent", "Pellora/" PELLORA_VERSION);
    // Streamed from the one-shot body rather than copied into a buffer Qt could rewind.
    request.setHeader(QNetworkRequest::ContentLengthHeader, payload.size());
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);

    auto* body = new OneShotBody(payload);
    QNetworkReply* reply = m_network->put(request, body);
    body->setParent(reply);
    reply->setReadBufferSize(readChunkBytes);

    // Ends the attempt once: later signals of the reply no longer reach this object, and deleting the reply
    // cancels what is left of the exchange. Not abort(): with an error already queued by Qt's network thread,
    // that makes Qt report a second error.
    const auto finish = [this, reply, ended = std::make_shared<bool>(false),
                         done = std::move(done)](const AttemptOutcome& outcome) {
        if (std::exchange(*ended, true))
            return;
        disconnect(reply, nullptr, this, nullptr);
        reply->deleteLater();
        done(outcome);
    };
    auto facts = std::make_shared<ReplyFacts>();
    const auto judge = [reply, facts, path, limit = m_config.maxResponseBytes, finish] {
        facts->error = reply->error();
        facts->errorString = reply->errorString();
        if (const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute); status.isValid())
            facts->statusCode = status.toInt();
        finish(judgeReply(*facts, path, limit));
    };
    const auto read = [reply, facts, limit = m_config.maxResponseBytes, judge] {
        while (reply->bytesAvailable() > 0) {
            const QByteArray chunk = reply->read(readChunkBytes);
            if (facts->body.size() + chunk.size() > limit) {
                facts->tooLarge = true;
                facts->body.clear();
                judge();
                return;
            }
            facts->body += chunk;
        }
    };
    // A deadline from the start, not Qt's transfer timeout: that one restarts with every byte, so a server
    // trickling its answer would hold the upload forever.
    QTimer::singleShot(std::chrono::milliseconds(timeoutMs), reply,
                       [finish] { finish(AttemptOutcome::failedWith(timedOut())); });
    connect(reply, &QNetworkReply::readyRead, this, read);
    // A 2xx status is the answer: its body is not waited for.
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, path, finish] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (isSuccessStatus(status))
            finish(judgeResponse(status, {}, path));
    });
    connect(reply, &QNetworkReply::finished, this, [read, judge] {
        read();
        judge();
    });
}

void GitHubUploader::setState(const UploadState& state)
{
    m_state = state;
    emit stateChanged(m_state);
}

} // namespace pellora
