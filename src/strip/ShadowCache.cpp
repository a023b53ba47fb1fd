#include "ShadowCache.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace pellora {
namespace {

// One horizontal and one vertical box-blur pass over the alpha channel of a premultiplied image;
// three such passes approximate a Gaussian.
void boxBlur(QImage& image, int radius)
{
    if (radius <= 0)
        return;
    const int width = image.width();
    const int height = image.height();
    const int window = 2 * radius + 1;
    std::vector<int> line(size_t(std::max(width, height)));

    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[size_t(x)] = qAlpha(row[x]);
        int sum = 0;
        for (int x = -radius; x <= radius; ++x)
            sum += (x >= 0 && x < width) ? line[size_t(x)] : 0;
        for (int x = 0; x < width; ++x) {
            const int alpha = sum / window;
            row[x] = qRgba(0, 0, 0, alpha);
            const int out = x - radius;
            const int in = x + radius + 1;
            sum += (in < width ? line[size_t(in)] : 0) - (out >= 0 ? line[size_t(out)] : 0);
        }
    }
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            line[size_t(y)] = qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
        int sum = 0;
        for (int y = -radius; y <= radius; ++y)
            sum += (y >= 0 && y < height) ? line[size_t(y)] : 0;
        for (int y = 0; y < height; ++y) {
            reinterpret_cast<QRgb*>(image.scanLine(y))[x] = qRgba(0, 0, 0, sum / window);
            const int out = y - radius;
            const int in = y + radius + 1;
            sum += (in < height ? line[size_t(in)] : 0) - (out >= 0 ? line[size_t(out)] : 0);
        }
    }
}

} // namespace

QPixmap ShadowCache::render(const Key& key, qreal devicePixelRatio) const
{
    const int margin = key.blur * 2;
    const QSize logical = key.size + QSize(2 * margin, 2 * margin);
    QImage image((QSizeF(logical) * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(devicePixelRatio, devicePixelRatio);
        QPainterPath path;
        path.addRoundedRect(QRectF(QPointF(margin, margin), QSizeF(key.size)), key.radius, key.radius);
        painter.fillPath(path, Qt::black);
    }
    // The shadow's radius is its blur's standard deviation doubled; three box passes of width
    // about that deviation give a close Gaussian.
    const int pass = std::max(1, int(key.blur * devicePixelRatio / 2));
    for (int i = 0; i < 3; ++i)
        boxBlur(image, pass);

    // Tint: the blurred alpha times the shadow colour's own alpha.
    const QColor color = QColor::fromRgba(key.color);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(row[x]) * color.alpha() / 255;
            row[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), alpha));
        }
    }
    return QPixmap::fromImage(std::move(image));
}

void ShadowCache::paint(QPainter& painter, const QRectF& rect, qreal radius, int blur, QPointF offset,
                        const QColor& color)
{
    const Key key{rect.size().toSize(), int(radius), blur, color.rgba()};
    if (key.size.isEmpty())
        return;
    auto it = m_pixmaps.constFind(key);
    if (it == m_pixmaps.constEnd()) {
        // Sizes change with the content; keep only a handful so memory stays flat.
        if (m_pixmaps.size() >= 8)
            m_pixmaps.clear();
        // A blur has no fine detail: half resolution looks the same, costs a quarter of the memory
        // and of the blurring, and is scaled up smoothly when drawn.
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        it = m_pixmaps.insert(key, render(key, ratio / 2));
    }
    const int margin = blur * 2;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target(rect.topLeft() + offset - QPointF(margin, margin),
                        rect.size() + QSizeF(2 * margin, 2 * margin));
    painter.drawPixmap(target, *it, QRectF(it->rect()));
    painter.restore();
}

} // namespace pellora
