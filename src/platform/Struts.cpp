#include "platform/Struts.h"

#include <algorithm>

namespace pellora {
namespace {

// Half-open spans throughout: [begin, end).
struct Span {
    qint64 begin = 0;
    qint64 end = 0;
    bool overlaps(Span other) const { return begin < other.end && other.begin < end; }
    bool holdsInside(qint64 edge) const { return begin < edge && edge < end; }
};

QRect publishedWorkArea(const QRect& monitor, const QList<quint32>& areas)
{
    QRect best;
    for (qsizetype i = 0; i + 3 < areas.size(); i += 4) {
        const QRect area(int(areas[i]), int(areas[i + 1]), int(areas[i + 2]), int(areas[i + 3]));
        if (area.isValid() && monitor.contains(area) &&
            qint64(area.width()) * area.height() > qint64(best.width()) * best.height())
            best = area;
    }
    return best;
}

} // namespace

QRect monitorWorkArea(const QRect& monitor, const ReservedSpace& reserved)
{
    if (const QRect published = publishedWorkArea(monitor, reserved.monitorWorkAreas); published.isValid())
        return published;

    const Span across{monitor.x(), qint64(monitor.x()) + monitor.width()};
    const Span down{monitor.y(), qint64(monitor.y()) + monitor.height()};
    qint64 left = across.begin, right = across.end, top = down.begin, bottom = down.end;
    const qint64 rootWidth = reserved.root.width(), rootHeight = reserved.root.height();

    for (const QList<quint32>& strut : reserved.struts) {
        if (strut.size() < 4)
            continue;
        const bool partial = strut.size() >= 12;
        // Where along its edge each strut lies; the whole edge for the older four-value form. Ends are
        // inclusive in the property.
        auto along = [&](int index, qint64 length) {
            return partial ? Span{strut[index], qint64(strut[index + 1]) + 1} : Span{0, length};
        };
        const qint64 reservedLeft = strut[0], reservedRight = strut[1];
        const qint64 reservedTop = strut[2], reservedBottom = strut[3];
        // Only a strut whose inner edge falls inside the monitor takes part of it.
        if (reservedLeft > 0 && along(4, rootHeight).overlaps(down) && across.holdsInside(reservedLeft))
            left = std::max(left, reservedLeft);
        if (reservedRight > 0 && along(6, rootHeight).overlaps(down) && across.holdsInside(rootWidth - reservedRight))
            right = std::min(right, rootWidth - reservedRight);
        if (reservedTop > 0 && along(8, rootWidth).overlaps(across) && down.holdsInside(reservedTop))
            top = std::max(top, reservedTop);
        if (reservedBottom > 0 && along(10, rootWidth).overlaps(across) &&
            down.holdsInside(rootHeight - reservedBottom))
            bottom = std::min(bottom, rootHeight - reservedBottom);
    }
    if (left >= right || top >= bottom)
        return monitor;
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

} // namespace pellora
