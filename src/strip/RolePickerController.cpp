#include "RolePickerController.h"

#include "FloatingPanel.h"
#include "views/RolePickerView.h"
#include "views/Sheet.h"

#include <QGuiApplication>
#include <QScreen>

namespace pellora {

RolePickerController::RolePickerController(QObject* parent) : QObject(parent) {}

RolePickerController::~RolePickerController()
{
    close();
}

void RolePickerController::open(RoleLibrary* library)
{
    if (m_pickerPanel) {
        // The picker follows its library while it lives, so for the same library the one already built is
        // current; building a new one on every opening would only leave the old one's style renders behind
        // in the pixmap cache (each new palette makes new cache keys).
        auto* current = qobject_cast<RolePickerView*>(m_pickerPanel->content());
        if (current && current->library() == library)
            current->scrollToTop();
        else
            m_pickerPanel->setContent(makePicker(library));
        m_pickerPanel->showWithoutActivating();
        m_pickerPanel->activateWindow();
        return;
    }

    m_pickerPanel = new FloatingPanel({});
    m_pickerPanel->setObjectName(QStringLiteral("pickerPanel"));
    m_pickerPanel->setWindowTitle(tr("选择角色"));
    m_pickerPanel->setContent(makePicker(library));
    // Centred, and on a small screen shrunk to the work area (the list scrolls), so its top bar with both
    // close buttons is always within reach.
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_pickerPanel->setGeometry(sheetGeometry(QRect(), pickerSize, screen ? screen->availableGeometry() : QRect()));
    m_pickerPanel->showAndActivate();
}

RolePickerView* RolePickerController::makePicker(RoleLibrary* library)
{
    auto* picker = new RolePickerView(library);
    // A choice, a draw or a close button takes the panel off the screen; it stays for the next opening.
    connect(picker, &RolePickerView::dismissRequested, this, [this] {
        if (m_pickerPanel)
            m_pickerPanel->hide();
    });
    return picker;
}

void RolePickerController::close()
{
    if (!m_pickerPanel)
        return;
    m_pickerPanel->hide();
    m_pickerPanel->close();
    delete m_pickerPanel.data();
}

} // namespace pellora
