#include "StripPlacement.h"

namespace pellora {

// QRect::right() and bottom() are the last pixel inside, one less than x + width; edges are computed
// from x + width and y + height throughout.
QPoint cornerPosition(const QRect& available, const QSize& size)
{
    return {available.x() + available.width() - size.width() - stripCornerInset,
            available.y() + available.height() - size.height() - stripCornerInset};
}

QRect resizedKeepingBottom(const QRect& current, int height, const QRect& available)
{
    const int bottomEdge = current.y() + current.height();
    QRect result(current.x(), bottomEdge - height, current.width(), height);
    if (!available.isValid())
        return result;
    const int availableBottomEdge = available.y() + available.height();
    if (result.y() + result.height() > availableBottomEdge)
        result.moveTop(availableBottomEdge - height);
    if (result.y() < available.y())
        result.moveTop(available.y());
    return result;
}

} // namespace pellora
