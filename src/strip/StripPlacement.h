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

// The geometry after the content asks for `height`: the bottom edge stays where it was, so the window
// grows upward, and it is then moved vertically into `available` when it would stick out, top first,
// so an open detail card is always entirely visible. An invalid `available` applies no bounds.
QRect resizedKeepingBottom(const QRect& current, int height, const QRect& available);

} // namespace pellora
