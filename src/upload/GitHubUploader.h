#pragma once

#include "SubmissionEntry.h"

#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace pellora {

/// The outcome the upload form shows: idle, uploading, or success / failure with their texts.
struct UploadState {
    enum class Kind { idle, uploading, success, failure };
    Kind kind = Kind::idle;
    QString text; // for success and failure

    static UploadState idle() { return {}; }
    static UploadState uploading() { return {Kind::uploading, {}}; }
    static UploadState success(const QString& text) { return {Kind::success, text}; }
    static UploadState failure(const QString& text) { return {Kind::failure, text}; }

    friend bool operator==(const UploadState&, const UploadState&) = default;
};

/// The error of one attempt: GitHub answered with a status outside 200...299, or the exchange failed.
struct UploadError {
    enum class Kind { github, transport };
    Kind kind = Kind::transport;
    QString message;       // github: the response's message; transport: the platform's description
    qint64 statusCode = 0; // github only

    // "GitHub (404): Not Found" for github; the description itself for transport.
    QString description() const;

    static UploadError github(const QString& message, qint64 statusCode) { return {Kind::github, message, statusCode}; }
    static UploadError transport(const QString& description) { return {Kind::transport, description, 0}; }

    friend bool operator==(const UploadError&, const UploadError&) = default;
};

/// How one attempt with one token ended.
struct AttemptOutcome {
    enum class Kind {
        success,  // `text` is the success text
        rejected, // `error`: a status outside 2xx, or an answer not HTTP or too large; ends the upload unless it
                  // is a 403 "resource not accessible"
        failed,   // `error` (transport): no usable answer (URL, network, deadline, TLS); the next token is tried
    };
    Kind kind = Kind::failed;
    QString text;
    UploadError error;

    static AttemptOutcome succeeded(const QString& text) { return {Kind::success, text, {}}; }
    static AttemptOutcome rejectedWith(const UploadError& error) { return {Kind::rejected, {}, error}; }
    static AttemptOutcome failedWith(const QString& description)
    {
        return {Kind::failed, {}, UploadError::transport(description)};
    }

    friend bool operator==(const AttemptOutcome&, const AttemptOutcome&) = default;
};

struct UploaderConfig {
    QUrl apiBase;                          // https://api.github.com unless the build says otherwise
    QString fallbackEmail;                 // committer e-mail when the entry has none
    int timeoutMs = 60'000;                // deadline of one request from its start; then the next token is tried
    qint64 maxResponseBytes = 1024 * 1024; // larger answers are cut off and count as a failure
    int uploadTimeoutMs = 120'000;         // deadline of the whole upload, all tokens together
};

// The build's configuration (CMake cache variables PELLORA_API_BASE and PELLORA_FALLBACK_EMAIL).
UploaderConfig builtInUploaderConfig();

// The usable tokens of the built-in list: each entry strictly Base64-decoded and valid UTF-8, in order.
QStringList builtInTokens();
// The same rule over any list of stored entries (for tests and for the built-in list).
QStringList decodeTokenList(const QStringList& storedEntries);
// The tokens an upload tries: each stripped of the whitespace around it, the blank ones left out.
QStringList usableTokens(const QStringList& tokens);
// What the user reads when no usable token is there: the upload's failure, and the form's warning.
QString missingTokenText();

// The verdict on a complete HTTP answer to the upload of `path`: 2xx is "上传成功 · " + path; any other
// status is a github error carrying the body's message, or "GitHub <status>" when the body has none.
AttemptOutcome judgeResponse(int statusCode, const QByteArray& body, const QString& path);

// What one finished request gave: Qt's error, the status when an HTTP answer arrived, and the body read.
struct ReplyFacts {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorString;
    std::optional<int> statusCode;
    QByteArray body;
    bool tooLarge = false; // the body went past the limit; the rest was not read
};

// The verdict on a finished request: a 2xx status is a success whatever became of the body; network errors
// let the next token try; another HTTP status is judged by judgeResponse; an answer too large or not HTTP at
// all ends the upload.
AttemptOutcome judgeReply(const ReplyFacts& reply, const QString& path, qint64 maxResponseBytes);

/// Sends one submission to the repository's contents endpoint, trying the given tokens in order, and
/// reports progress and outcome through `state` only.
class GitHubUploader final : public QObject {
    Q_OBJECT

public:
    explicit GitHubUploader(UploaderConfig config = builtInUploaderConfig(), QObject* parent = nullptr);
    ~GitHubUploader() override;

    const UploadState& state() const { return m_state; }

    // Starts the upload and returns at once; the outcome arrives through stateChanged.
    void upload(const SubmissionEntry& entry, const QStringList& tokens);

signals:
    void stateChanged(const pellora::UploadState& state);

private:
    struct Run;

    // One PUT with one token, given up as timed out after `timeoutMs`; `done` is called once, on the main
    // thread, unless the uploader is destroyed first.
    void attemptUpload(const SubmissionEntry& entry, const QString& token, qint64 timeoutMs,
                       std::function<void(const AttemptOutcome&)> done);
    void tryNextToken(const std::shared_ptr<Run>& run);
    void setState(const UploadState& state);

    UploaderConfig m_config;
    QNetworkAccessManager* m_network;
    UploadState m_state;
};

} // namespace pellora
