#include "PastelButton.h"

#include "widgets/Accessibility.h"
#include "widgets/Style.h"

#include <QPainter>
#include <QPainterPath>

namespace pellora {

namespace {

constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 6;
constexpr qreal cornerRadius = 10;

} // namespace

PastelButton::PastelButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    // Set explicitly so that a font inherited from the parent does not replace it.
    setFont(style::monoFont(12, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    a11y::pressOnEnter(this);
}

QSize PastelButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * horizontalPadding, metrics.height() + 2 * verticalPadding};
}

QSize PastelButton::minimumSizeHint() const
{
    return sizeHint();
}

double PastelButton::fillOpacity() const
{
    return isDown() ? 0.4 : 0.7;
}

void PastelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Inset by half the line so the whole outline stays inside the widget.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(shape, QColor::fromRgbF(1, 1, 1, float(fillOpacity())));
    painter.setPen(QPen(style::controlOutline(), 1));
    painter.drawPath(shape);

    // Keyboard users need to see where the focus is; a pointer click shows no ring.
    if (style::hasKeyboardFocus(*this))
        style::paintFocusRing(painter, *this, QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), cornerRadius - 1);

    painter.setFont(font());
    painter.setPen(style::primaryText());
    painter.drawText(rect().adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding),
                     Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

} // namespace pellora
