#pragma once

#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QSizeF>
#include <QWidget>

namespace pellora {

/// The pale backdrop of the tray window and its dialogs: a diagonal gradient under a grid of small white dots.
/// It fills its whole rectangle and lets every click through to what lies under it.
class PixelBackground final : public QWidget {
    Q_OBJECT

public:
    explicit PixelBackground(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_cache;
};

// The top-left corners of the grid's 2×2 dots over an area of `size`: one every 18 along both axes from
// the origin, up to and including the far edges, column by column.
QList<QPointF> pixelGridDots(QSizeF size);

} // namespace pellora
