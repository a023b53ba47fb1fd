#pragma once

#include <QIcon>
#include <QString>

namespace pellora {

/// One of the application's own icons, by name ("sparkles", "xmark.circle.fill", ...), loaded from
/// ":/icons/<name>.svg". Scales cleanly to any size; a null icon for an unknown name.
QIcon svgIcon(const QString& name);

/// The tray icon: pastel sparkles outlined in dark ink, so that they show on a black panel and on a white one.
/// Drawn for 16, 22, 24 and 32 pixels, at 1x and 2x, each size on its own pixel grid.
QIcon trayIcon();

} // namespace pellora
