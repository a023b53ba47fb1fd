#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace pellora {

// Distance of the strip from the right and bottom edges of the screen's available area.
inline constexpr int stripCornerInset = 20;

// Top-left of a window of `size` whose right edge stands 20 px inside the available area's right edge
// and whose bottom edge stands 20 px above its bottom edge (Qt's y axis points down).
QPoint cornerPosition(const QRect& available, const QSize& size);

// The window's geometry for content of `size` when the compact card rests with the window's top-left at
// `anchor`. The top-left stays at the anchor, so an opening detail card grows the window downward and
// the compact card holds still; only where the window would pass the bottom of `available` does it move
// up, by just as much as it needs and never above the area's top. It is never moved sideways. An invalid
// `available` applies no bounds.
QRect anchoredGeometry(const QPoint& anchor, const QSize& size, const QRect& available);

// Top-left of `window` moved just far enough to lie inside `available`; where it is larger, its top-left
// corner is kept visible.
QPoint keptInside(const QRect& window, const QRect& available);

} // namespace pellora
