#include "StripPlacement.h"

#include <algorithm>

namespace pellora {

// QRect::right() and bottom() are the last pixel inside, one less than x + width; edges are computed
// from x + width and y + height throughout.
QPoint cornerPosition(const QRect& available, const QSize& size)
{
    return {available.x() + available.width() - size.width() - stripCornerInset,
            available.y() + available.height() - size.height() - stripCornerInset};
}

QRect anchoredGeometry(const QPoint& anchor, const QSize& size, const QRect& available)
{
    QRect result(anchor, size);
    if (!available.isValid())
        return result;
    // The lowest the top can be with the bottom edge still inside the area.
    const int lowestTop = available.y() + available.height() - size.height();
    if (result.y() > lowestTop)
        result.moveTop(std::max(lowestTop, available.y()));
    return result;
}

QPoint keptInside(const QRect& window, const QRect& available)
{
    const int right = available.x() + available.width();
    const int bottom = available.y() + available.height();
    return {std::max(available.x(), std::min(window.x(), right - window.width())),
            std::max(available.y(), std::min(window.y(), bottom - window.height()))};
}

} // namespace pellora
