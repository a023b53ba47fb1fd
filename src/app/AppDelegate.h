#pragma once

#include "library/DisplayModeStore.h"
#include "library/RoleLibrary.h"
#include "strip/FloatingStripWindowController.h"

#include <QObject>

class QSettings;

namespace pellora {

/// Owns the long-lived objects of the process (the role library, the display-mode store and the
/// strip controller, created in that order) and shows or hides the strip by the display mode.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // `settings` must outlive the delegate; `libraryOptions` lets tests pick the pack and the clock. A pack that
    // gives no roles is reported on standard output.
    explicit AppDelegate(QSettings* settings, RoleLibraryOptions libraryOptions = {}, QObject* parent = nullptr);

    RoleLibrary& library() { return m_library; }
    DisplayModeStore& displayModeStore() { return m_displayModeStore; }
    FloatingStripWindowController& stripController() { return m_stripController; }

    // Starts following the display mode, once the event loop runs: the strip is shown or hidden now and after
    // every change of the mode. Later calls do nothing.
    void start();
    // Shows the strip in strip mode, hides it otherwise.
    void applyDisplayMode();
    // Another launch asked for Pellora: in strip mode, raises the existing strip. In tray-only mode
    // with no tray icon to reach Pellora by, shows the strip for this session, leaving the stored mode alone.
    void bringStripToFront();
    // Whether a tray icon is shown; told by the tray scene.
    void setTrayIconShown(bool shown) { m_trayIconShown = shown; }

private:
    void configureOnLaunch();

    RoleLibrary m_library;
    DisplayModeStore m_displayModeStore;
    FloatingStripWindowController m_stripController;
    bool m_launched = false;
    bool m_trayIconShown = false;
};

// Library options for the shipped app: the pack from the resources and the given settings.
RoleLibraryOptions appLibraryOptions(QSettings* settings, RoleLibraryOptions base = {});

// Writes one line on standard output at once: what a user who started Pellora from a terminal is told.
void printLine(const QString& line);

} // namespace pellora
