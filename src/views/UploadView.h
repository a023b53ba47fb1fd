#pragma once

#include "upload/UploadDraft.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;

namespace pellora {

class RoleLibrary;
class UploadButton;

/// The upload form: a nickname, an optional e-mail and occupation and one day's schedule, sent to the
/// shared repository by the draft's uploader, whose state the status line and the button follow. The form
/// shows the draft it is given and writes every edit back to it; the host creates a fresh form for every
/// opening and decides whether it is deleted on close. The header and fields stay put and the button and
/// status line stay in view: the schedule editor takes the height that is left.
class UploadView final : public QDialog {
    Q_OBJECT

public:
    // `draft` is the session's and must outlive the form; without one the form keeps a draft of its own for its
    // life. `tokens` exists so tests can give the form tokens of their own.
    explicit UploadView(RoleLibrary* library, UploadDraft* draft = nullptr, QWidget* parent = nullptr,
                        std::function<QStringList()> tokens = builtInTokens);
    ~UploadView() override;

    // The whole form with the schedule editor at its designed height.
    QSize sizeHint() const override;

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* createContent();
    QWidget* createFooter();
    void fitSpacing();
    int compactSaving() const;
    void keepTexts();
    QString scheduleText() const;
    bool canUpload() const;
    void updateCompanionLine();
    void showState(const UploadState& state);
    void updateButton();
    void submit();

    QPointer<RoleLibrary> m_library;
    UploadDraft* m_draft;
    std::function<QStringList()> m_tokens;
    QScrollArea* m_scroll = nullptr;
    QBoxLayout* m_column = nullptr; // the blocks that scroll
    QBoxLayout* m_footer = nullptr; // the button and the status line
    QLabel* m_tokenNotice = nullptr;
    QLabel* m_companionLine = nullptr;
    QLineEdit* m_nickname = nullptr;
    QLineEdit* m_email = nullptr;
    QLineEdit* m_occupation = nullptr;
    QPlainTextEdit* m_schedule = nullptr;
    UploadButton* m_uploadButton = nullptr;
    QLabel* m_statusLine = nullptr;
    bool m_compact = false;
    bool m_sized = false;
};

} // namespace pellora
