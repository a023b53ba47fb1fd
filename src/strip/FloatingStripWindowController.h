#pragma once

#include "RolePickerController.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace pellora {

class RoleLibrary;
class WorkArea;

/// Owns the floating strip: a borderless, always-on-top, translucent panel in the bottom-right corner
/// of the primary screen's work area, created on the first show, reused on later shows, destroyed on
/// hide. It stays in that corner when the work area changes, until the user drags it elsewhere.
class FloatingStripWindowController final : public QObject {
    Q_OBJECT

public:
    static constexpr int stripWidth = 560;

    explicit FloatingStripWindowController(QObject* parent = nullptr);
    ~FloatingStripWindowController() override;

    // Where the strip is placed and which changes it follows; the desktop's own by default.
    void setWorkArea(std::unique_ptr<WorkArea> workArea);
    // The desktop's usable area, which the tray window shares.
    const WorkArea& workArea() const { return *m_workArea; }

    // Shows the strip: builds and places it the first time; later calls refresh the content and bring
    // the panel forward without moving it or taking focus.
    void showStrip(RoleLibrary* library);
    // Closes the picker panel opened from the strip, then removes the strip.
    void hideStrip();

    // The strip's right-click menu, the same as the tray icon's; null for none.
    void setContextMenu(QMenu* menu);

    FloatingPanel* panel() const { return m_panel; }
    RolePickerController& pickerController() { return m_pickerController; }

private:
    void followWorkArea();

    std::unique_ptr<WorkArea> m_workArea;
    RolePickerController m_pickerController;
    QPointer<FloatingPanel> m_panel;
    QPointer<QMenu> m_contextMenu;
    int m_restingHeight = 0; // the compact strip's height when placed: the corner rule places that
};

} // namespace pellora
