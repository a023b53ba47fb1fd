#pragma once

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace pellora {

class RoleLibrary;
class PixelBackground;

// "HH:mm" of the instant in local time, 24-hour, always two digits each; one formatter for the process.
QString clockText(const QDateTime& instant);

/// The tray window's content: the title, a clock redrawn every 60 seconds from the moment the content
/// was built, and three commands: the role picker and the upload form as sheets, and closing the window.
class ContentView final : public QWidget {
    Q_OBJECT

public:
    explicit ContentView(RoleLibrary* library, QWidget* parent = nullptr);
    // Sheets hang off the window, not the content: the ones this content opened go with it.
    ~ContentView() override;

    bool isShowingPicker() const { return m_picker != nullptr; }
    bool isShowingUpload() const { return m_upload != nullptr; }
    QString clock() const;

    void showPicker();
    void showUpload();
    // Closes the application's active window, if any.
    void closeKeyWindow();

signals:
    void sheetsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void redrawClock();
    QWidget* presentSheet(QWidget* content, const QString& title);

    QPointer<RoleLibrary> m_library;
    PixelBackground* m_background;
    QLabel* m_clock;
    QDateTime m_nextRedraw;
    QTimer m_clockTimer;
    QPointer<QWidget> m_picker;
    QPointer<QWidget> m_upload;
};

} // namespace pellora
