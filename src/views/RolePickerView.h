#pragma once

#include "library/RoleLibrary.h"

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QScrollArea;
class QVBoxLayout;

namespace pellora {

class RoleRow;

/// The role picker: every role of the library with face, title and summary, the selected one marked
/// with a heart, and a random draw. Choosing or drawing changes the library first and then asks the host
/// to close the picker; so do its two close buttons. It keeps no state of its own and follows the library's
/// changes while shown.
class RolePickerView final : public QWidget {
    Q_OBJECT

public:
    // The library must outlive the picker's use of it; the picker shows nothing once it is gone.
    explicit RolePickerView(RoleLibrary* library, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    RoleLibrary* library() const { return m_library; }
    // Back to the top of the list, as a newly opened picker starts.
    void scrollToTop();

signals:
    // The host closes or hides the picker.
    void dismissRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* createContent();
    void rebuildRows();
    void updateMarks();
    void chooseRole(const RoleRow* row);
    void drawRandomRole();

    QPointer<RoleLibrary> m_library;
    QWidget* m_libraryCard = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QList<RoleRow*> m_rows;
    QAbstractButton* m_cornerClose = nullptr;
    QScrollArea* m_scrollArea = nullptr;
};

} // namespace pellora
