#pragma once

#include <QIcon>
#include <QString>

namespace pellora {

/// One of the application's own icons, by name ("sparkles", "xmark.circle.fill", ...), loaded from
/// ":/icons/<name>.svg". Scales cleanly to any size; a null icon for an unknown name.
QIcon svgIcon(const QString& name);

} // namespace pellora
