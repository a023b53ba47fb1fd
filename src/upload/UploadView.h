#pragma once

#include "upload/GitHubUploader.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace pellora {

class RoleLibrary;
class UploadButton;

/// The upload form: a nickname, an optional e-mail and occupation and one day's schedule, sent to the
/// shared repository by the form's own uploader, whose state the status line and the button follow.
/// Nothing is cleared after an outcome and the form stays open; the host creates a fresh form for
/// every opening and decides whether it is deleted on close.
class UploadView final : public QDialog {
    Q_OBJECT

public:
    // `config` and `tokens` exist so tests can aim the form at a local server with tokens of their own.
    explicit UploadView(RoleLibrary* library, QWidget* parent = nullptr,
                        UploaderConfig config = builtInUploaderConfig(),
                        std::function<QStringList()> tokens = builtInTokens);
    ~UploadView() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* createContent();
    QString scheduleText() const;
    bool canUpload() const;
    void updateCompanionLine();
    void showState(const UploadState& state);
    void updateButton();
    void submit();

    QPointer<RoleLibrary> m_library;
    std::function<QStringList()> m_tokens;
    GitHubUploader* m_uploader;
    QLabel* m_companionLine = nullptr;
    QLineEdit* m_nickname = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_occupation = nullptr;
    QPlainTextEdit* m_schedule = nullptr;
    UploadButton* m_uploadButton = nullptr;
    QLabel* m_statusLine = nullptr;
};

} // namespace pellora
