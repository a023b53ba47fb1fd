#include "EnergyMeterView.h"

#include "Accessibility.h"
#include "QtColor.h"
#include "presentation/EnergyMeter.h"
#include "presentation/SpokenText.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace pellora {

namespace {

constexpr int horizontalPadding = 10;
constexpr int verticalPadding = 6;

} // namespace

EnergyMeterView::EnergyMeterView(QWidget* parent)
    : QWidget(parent), m_palette(pellora::stylePalette(StylePack::classicKaomoji))
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    setFont(font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Read as a text; its blocks would be read out one by one.
    a11y::setRole(this, QAccessible::StaticText);
    setAccessibleName(a11y::spokenEnergy(m_level));
}

void EnergyMeterView::setLevel(std::optional<qint64> level)
{
    if (level == m_level)
        return;
    m_level = level;
    setAccessibleName(a11y::spokenEnergy(m_level));
    updateGeometry();
    update();
}

void EnergyMeterView::setStylePalette(const StylePalette& palette)
{
    if (palette == m_palette)
        return;
    m_palette = palette;
    update();
}

QString EnergyMeterView::text() const
{
    return meterText(m_level);
}

QSize EnergyMeterView::sizeHint() const
{
    const QFontMetricsF metrics(font());
    const int textWidth = int(std::ceil(metrics.horizontalAdvance(text())));
    const int textHeight = int(std::ceil(metrics.height()));
    return {textWidth + 2 * horizontalPadding, textHeight + 2 * verticalPadding};
}

QSize EnergyMeterView::minimumSizeHint() const
{
    return sizeHint();
}

void EnergyMeterView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Inset by half the line width so the 1-pixel outline falls on whole pixels instead of straddling two.
    const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = capsule.height() / 2;
    QPainterPath path;
    path.addRoundedRect(capsule, radius, radius);
    painter.fillPath(path, toQColor(m_palette.background, 0.7));
    painter.setPen(QPen(toQColor(m_palette.accent, 0.8), 1));
    painter.drawPath(path);

    painter.setPen(toQColor(m_palette.text, 0.9));
    painter.drawText(rect().adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding),
                     Qt::AlignCenter | Qt::TextSingleLine, text());
}

void EnergyMeterView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace pellora
