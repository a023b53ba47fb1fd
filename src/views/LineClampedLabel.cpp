#include "LineClampedLabel.h"

#include "widgets/Accessibility.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace pellora {

namespace {

const QString ellipsis(QChar(0x2026));

// Widest a label asks to be before wrapping, in average characters.
constexpr int preferredColumns = 40;

QString withoutTrailingSpace(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) // line and paragraph separators count as space
        --end;
    text.truncate(end);
    return text;
}

} // namespace

LineClampedLabel::LineClampedLabel(QWidget* parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void LineClampedLabel::setText(const QString& text)
{
    if (a11y::setLabelText(this, m_text, text))
        invalidate();
}

void LineClampedLabel::setMaximumLines(int lines)
{
    lines = std::max(lines, 1);
    if (lines == m_maximumLines)
        return;
    m_maximumLines = lines;
    invalidate();
}

QStringList LineClampedLabel::linesForWidth(int width) const
{
    width = std::max(width, 1);
    if (width == m_cachedWidth)
        return m_cachedLines;

    QStringList lines;
    if (!m_text.isEmpty()) {
        // QTextLayout breaks only at Unicode line separators, not at '\n'.
        QString laidOut = m_text;
        laidOut.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        laidOut.replace(u'\n', QChar::LineSeparator);

        QTextLayout layout(laidOut, font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        qsizetype end = 0;
        while (lines.size() < m_maximumLines) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            lines.append(laidOut.mid(line.textStart(), line.textLength()));
            end = line.textStart() + line.textLength();
        }
        layout.endLayout();

        for (QString& line : lines)
            line = withoutTrailingSpace(line);
        if (end < laidOut.size() && !lines.isEmpty()) {
            // Cut the last line so that it and the ellipsis fit together.
            const QFontMetricsF metrics(font());
            const qreal room = width - metrics.horizontalAdvance(ellipsis);
            QString last = metrics.elidedText(lines.last(), Qt::ElideRight, std::max<qreal>(room, 0));
            if (!last.endsWith(ellipsis))
                last += ellipsis;
            lines.last() = last;
        }
    }

    m_cachedWidth = width;
    m_cachedLines = lines;
    return lines;
}

QStringList LineClampedLabel::visibleLines() const
{
    return linesForWidth(contentsRect().width());
}

int LineClampedLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return linesHeight(linesForWidth(width - margins.left() - margins.right()).size()) + margins.top() +
           margins.bottom();
}

QSize LineClampedLabel::sizeHint() const
{
    const QFontMetricsF metrics(font());
    qreal natural = 0;
    for (const QString& paragraph : m_text.split(u'\n'))
        natural = std::max(natural, metrics.horizontalAdvance(paragraph));
    const QMargins margins = contentsMargins();
    const int width = int(std::ceil(std::min(natural, metrics.averageCharWidth() * preferredColumns))) +
                      margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

QSize LineClampedLabel::minimumSizeHint() const
{
    const QFontMetricsF metrics(font());
    const QMargins margins = contentsMargins();
    const int width = int(std::ceil(metrics.horizontalAdvance(ellipsis))) + margins.left() + margins.right();
    return {width, linesHeight(m_text.isEmpty() ? 0 : 1) + margins.top() + margins.bottom()};
}

void LineClampedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetricsF metrics(font());
    const QRect area = contentsRect();
    qreal baseline = area.top() + metrics.ascent();
    for (const QString& line : visibleLines()) {
        painter.drawText(QPointF(area.left(), baseline), line);
        baseline += metrics.lineSpacing();
    }
}

void LineClampedLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        invalidate();
    QWidget::changeEvent(event);
}

void LineClampedLabel::invalidate()
{
    m_cachedWidth = -1;
    m_cachedLines.clear();
    updateGeometry();
    update();
}

int LineClampedLabel::linesHeight(qsizetype lineCount) const
{
    if (lineCount == 0)
        return 0;
    const QFontMetricsF metrics(font());
    return int(std::ceil(metrics.height() + (lineCount - 1) * metrics.lineSpacing()));
}

} // namespace pellora
