#pragma once

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QSize>

class QPainter;
class QRectF;

namespace pellora {

// Soft drop shadows of rounded rectangles, blurred once per size and kept: painting a frame only
// blits the cached pixmap.
class ShadowCache final {
public:
    // Paints the shadow of `rect` (corner `radius`) blurred by `blur` pixels and moved by `offset`.
    void paint(QPainter& painter, const QRectF& rect, qreal radius, int blur, QPointF offset, const QColor& color);

    qsizetype size() const { return m_pixmaps.size(); }

private:
    struct Key {
        QSize size;
        int radius;
        int blur;
        QRgb color;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& key, size_t seed)
        {
            return qHashMulti(seed, key.size.width(), key.size.height(), key.radius, key.blur, key.color);
        }
    };

    QPixmap render(const Key& key, qreal devicePixelRatio) const;

    QHash<Key, QPixmap> m_pixmaps;
};

} // namespace pellora
