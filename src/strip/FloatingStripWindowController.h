#pragma once

#include "FloatingStripModalManager.h"

#include <QObject>
#include <QPointer>

namespace pellora {

class RoleLibrary;
class DisplayModeStore;
class FloatingStripRootView;

/// Owns the floating strip: a borderless, always-on-top, translucent panel in the bottom-right corner
/// of the primary screen, created on the first show, reused on later shows, destroyed on hide.
class FloatingStripWindowController final : public QObject {
    Q_OBJECT

public:
    static constexpr int stripWidth = 560;

    explicit FloatingStripWindowController(QObject* parent = nullptr);
    ~FloatingStripWindowController() override;

    // Shows the strip: builds and places it the first time; later calls refresh the content and bring
    // the panel forward without moving it or taking focus.
    void showStrip(RoleLibrary* library, DisplayModeStore* store);
    // Closes the picker panel opened from the strip, then removes the strip.
    void hideStrip();

    // The strip's right-click menu, the same as the tray icon's; null for none.
    void setContextMenu(QMenu* menu);

    FloatingPanel* panel() const { return m_panel; }
    FloatingStripRootView* rootView() const;
    FloatingStripModalManager& modalManager() { return m_modalManager; }

signals:
    void stripShown();

private:
    FloatingStripModalManager m_modalManager;
    QPointer<FloatingPanel> m_panel;
    QPointer<QMenu> m_contextMenu;
};

} // namespace pellora
