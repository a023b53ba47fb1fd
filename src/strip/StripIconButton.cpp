#include "StripIconButton.h"

#include "widgets/Style.h"
#include "widgets/SvgIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace pellora {

StripIconButton::StripIconButton(const QString& iconName, const QString& title, QWidget* parent)
    : QAbstractButton(parent)
{
    setIcon(svgIcon(iconName));
    setIconSize(QSize(iconPixels, iconPixels));
    setAccessibleName(title);
    setToolTip(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize StripIconButton::sizeHint() const
{
    return {iconPixels + 2 * padding, iconPixels + 2 * padding};
}

void StripIconButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    QColor fill(Qt::white);
    fill.setAlphaF(fillOpacity());
    painter.fillPath(shape, fill);
    painter.setPen(QPen(style::controlOutline(), 1));
    painter.drawPath(shape);
    const QRect iconRect((width() - iconPixels) / 2, (height() - iconPixels) / 2, iconPixels, iconPixels);
    icon().paint(&painter, iconRect);
}

} // namespace pellora
