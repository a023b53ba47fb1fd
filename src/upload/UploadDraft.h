#pragma once

#include "upload/GitHubUploader.h"

#include <QObject>
#include <QString>

namespace pellora {

/// The upload form's four texts as the user typed them.
struct UploadTexts {
    QString nickname;
    QString email;
    QString occupation;
    QString schedule;

    friend bool operator==(const UploadTexts&, const UploadTexts&) = default;
};

/// What the user has typed into the upload form, and the uploader that sends it. It lives for the session,
/// away from the form, which is rebuilt at every opening: a form closed and opened again finds the texts and
/// the last outcome, and an upload still running when the form closes finishes and is shown at the next
/// opening. Once the texts have been uploaded they are cleared; texts changed while the upload ran stay.
class UploadDraft final : public QObject {
    Q_OBJECT

public:
    explicit UploadDraft(UploaderConfig config = builtInUploaderConfig(), QObject* parent = nullptr);

    UploadTexts texts;

    GitHubUploader& uploader() { return *m_uploader; }

    // Uploads `entry`, made from `sent`, with the first of `tokens` that works.
    void send(const UploadTexts& sent, const SubmissionEntry& entry, const QStringList& tokens);

private:
    GitHubUploader* m_uploader;
    UploadTexts m_sent;
};

} // namespace pellora
