#pragma once

#include "library/Clock.h"

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;

namespace pellora {

class RoleLibrary;
class PixelBackground;
class UploadDraft;

// "HH:mm" of the instant in local time, 24-hour, always two digits each; one formatter for the process.
QString clockText(const QDateTime& instant);

/// The tray window's content: the title, a clock, and three commands: the role picker and the upload form
/// as sheets, and closing the window. The clock reads the time afresh at each redraw, which comes at every
/// minute boundary and whenever the content is shown: after a suspend or a clock change it is right again
/// within a minute, and at once when the window opens.
class ContentView final : public QWidget {
    Q_OBJECT

public:
    // The clock is the system's when null.
    explicit ContentView(RoleLibrary* library, QWidget* parent = nullptr, std::shared_ptr<const Clock> clock = {});
    // Sheets hang off the window, not the content: the ones this content opened go with it.
    ~ContentView() override;

    QString clock() const;

    // What the upload form starts from and keeps its texts in; it must outlive the content's forms.
    void setUploadDraft(UploadDraft* draft) { m_uploadDraft = draft; }

    void showPicker();
    void showUpload();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Closes the tray window this content is in.
    void closeWindow();
    void redrawClock();
    QWidget* presentSheet(QWidget* content, const QString& title);

    QPointer<RoleLibrary> m_library;
    PixelBackground* m_background;
    QLabel* m_clock;
    std::shared_ptr<const Clock> m_time;
    QTimer m_clockTimer;
    QPointer<QWidget> m_picker;
    QPointer<QWidget> m_upload;
    UploadDraft* m_uploadDraft = nullptr;
};

} // namespace pellora
