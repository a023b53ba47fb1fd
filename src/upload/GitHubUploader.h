#pragma once

#include "SubmissionEntry.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

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
    QString message;     // github: the response's message; transport: the platform's description
    qint64 statusCode = 0; // github only

    // "GitHub (404): Not Found" for github; the description itself for transport.
    QString description() const;
};

struct UploaderConfig {
    QUrl apiBase;          // https://api.github.com unless the build says otherwise
    QString fallbackEmail; // committer e-mail when the entry has none
    int timeoutMs = 60'000; // idle timeout of one request
    qint64 maxResponseBytes = 1024 * 1024; // larger answers are cut off and count as a failure
};

// The build's configuration (CMake cache variables PELLORA_API_BASE and PELLORA_FALLBACK_EMAIL).
UploaderConfig builtInUploaderConfig();

// The usable tokens of the built-in list: each entry strictly Base64-decoded and valid UTF-8, in order.
QStringList builtInTokens();
// The same rule over any list of stored entries (for tests and for the built-in list).
QStringList decodeTokenList(const QStringList& storedEntries);

/// Sends one submission to the repository's contents endpoint, trying the given tokens in order, and
/// reports progress and outcome through `state` only.
class GitHubUploader final : public QObject {
    Q_OBJECT
    Q_PROPERTY(pellora::UploadState state READ state NOTIFY stateChanged)

public:
    explicit GitHubUploader(UploaderConfig config = builtInUploaderConfig(), QObject* parent = nullptr);
    ~GitHubUploader() override;

    const UploadState& state() const { return m_state; }

    // Starts the upload and returns at once; the outcome arrives through stateChanged.
    void upload(const SubmissionEntry& entry, const QStringList& tokens);

signals:
    void stateChanged(const pellora::UploadState& state);

private:
    void setState(const UploadState& state);

    UploaderConfig m_config;
    QNetworkAccessManager* m_network;
    UploadState m_state;
};

} // namespace pellora

Q_DECLARE_METATYPE(pellora::UploadState)
