#include "PixelBackground.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pellora {

namespace {

constexpr qreal gridStep = 18;
constexpr qreal dotSide = 2;

} // namespace

QList<QPointF> pixelGridDots(QSizeF size)
{
    QList<QPointF> dots;
    if (size.width() < 0 || size.height() < 0)
        return dots;
    // Multiples of the step, not a running sum, so the last column lands exactly on the edge.
    const auto columns = qsizetype(size.width() / gridStep) + 1;
    const auto rows = qsizetype(size.height() / gridStep) + 1;
    dots.reserve(columns * rows);
    for (int i = 0; gridStep * i <= size.width(); ++i) {
        for (int j = 0; gridStep * j <= size.height(); ++j)
            dots.append({gridStep * i, gridStep * j});
    }
    return dots;
}

PixelBackground::PixelBackground(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PixelBackground::paintEvent(QPaintEvent*)
{
    // The picture depends on the size alone and a sheet is rarely resized: draw it once per size.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_cache.size() != pixels || m_cache.devicePixelRatio() != ratio) {
        m_cache = QPixmap(pixels);
        m_cache.setDevicePixelRatio(ratio);
        QPainter painter(&m_cache);

        // In the box's own unit square, so that the colour runs from corner to corner whatever the aspect.
        const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
        QLinearGradient gradient(rightToLeft ? 1 : 0, 0, rightToLeft ? 0 : 1, 1);
        gradient.setCoordinateMode(QGradient::ObjectMode);
        gradient.setColorAt(0, QColor::fromRgbF(0.97f, 0.98f, 0.99f));
        gradient.setColorAt(1, QColor::fromRgbF(0.94f, 0.95f, 0.98f));
        painter.fillRect(rect(), gradient);

        QPainterPath dots;
        dots.setFillRule(Qt::WindingFill);
        for (const QPointF& corner : pixelGridDots(size()))
            dots.addRect(QRectF(corner, QSizeF(dotSide, dotSide)));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(dots, QColor::fromRgbF(1, 1, 1, 0.25f));
    }
    QPainter(this).drawPixmap(0, 0, m_cache);
}

} // namespace pellora
