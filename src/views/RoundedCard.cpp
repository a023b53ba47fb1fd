#include "RoundedCard.h"

#include <QPainter>
#include <QPainterPath>

namespace pellora {

RoundedCard::RoundedCard(qreal radius, const QColor& fill, const QColor& outline, QWidget* parent)
    : QWidget(parent), m_radius(radius), m_fill(fill), m_outline(outline)
{}

void RoundedCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    // Half a pixel in, so the one-pixel outline falls on whole pixels.
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), m_radius, m_radius);
    painter.fillPath(shape, m_fill);
    painter.setPen(QPen(m_outline, 1));
    painter.drawPath(shape);
}

} // namespace pellora
