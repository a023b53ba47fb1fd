#include "Style.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>

namespace pellora::style {

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    // Chinese text in its simplified forms, from a named font rather than a system-wide fallback search.
    font.setFamilies({font.family(), QStringLiteral("Noto Sans CJK SC")});
    return font;
}

QFont monoFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    // Debian's monospaced font, named together with the CJK monospaced one so that the Chinese text most
    // labels carry finds its glyphs without a system-wide fallback search. Named rather than taken from
    // the desktop because faceFont() relies on how DejaVu Sans Mono places accents.
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono CJK SC")});
    return font;
}

QFont faceFont(const QString& text, int pixelSize, QFont::Weight weight)
{
    QFont font = monoFont(pixelSize, weight);
    // Qt takes each character from the first family that has it, and an accent lands on its base only
    // when both come from one font that positions it there. DejaVu Sans Mono has the accents but leaves
    // them in the cell after a • or a space, and has no ⌣. FreeMono holds those bases together with
    // U+0300, U+0301 and U+0320 and centres each accent over its base; being lighter, it is taken only
    // for texts with accents. DejaVu Sans Mono then supplies ᴗ, ᵕ, ✧ and ✶, and Noto Sans Thai ง and the
    // Thai dot ฺ after ✶ (no monospaced font has both): drawn leftwards from where it is put, the dot falls
    // under the right half of DejaVu Sans Mono's ✶.
    //
    // Text after an Arabic-script character (the ٩ of "٩(｡•́‿•̀｡)۶") is shaped as Arabic, and there the
    // shaper puts each accent at its base's left edge instead of its right: FreeMono draws its accents
    // leftwards from that point, off the dot, while DejaVu Sans Mono draws them inside its own cell, on
    // the dot.
    const auto isAccent = [](QChar c) {
        return c.category() == QChar::Mark_NonSpacing;
    };
    const auto isArabic = [](QChar c) {
        return c.script() == QChar::Script_Arabic;
    };
    if (std::any_of(text.begin(), text.end(), isAccent) && std::none_of(text.begin(), text.end(), isArabic)) {
        font.setFamilies({QStringLiteral("FreeMono"), QStringLiteral("DejaVu Sans Mono"),
                          QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans Thai")});
    }
    return font;
}

QFont roundedFont(int pixelSize, QFont::Weight weight)
{
    static const QString family = [] {
        const QStringList candidates{QStringLiteral("M PLUS Rounded 1c"), QStringLiteral("Rounded Mplus 1c"),
                                     QStringLiteral("Varela Round"),      QStringLiteral("Nunito"),
                                     QStringLiteral("Quicksand"),         QStringLiteral("Comfortaa")};
        const QStringList installed = QFontDatabase::families();
        for (const QString& candidate : candidates) {
            if (installed.contains(candidate, Qt::CaseInsensitive))
                return candidate;
        }
        return QString();
    }();
    QFont font = systemFont(pixelSize, weight);
    if (!family.isEmpty())
        font.setFamilies(QStringList{family} + font.families());
    return font;
}

QFont emojiFont(int pixelSize)
{
    QFont font = systemFont(pixelSize);
    font.setFamilies(QStringList{QStringLiteral("Noto Color Emoji")} + font.families());
    return font;
}

QColor primaryText()
{
    return QColor(29, 29, 31);
}

QColor secondaryText(double opacity)
{
    // The platform's grey, strong enough for 4.5:1 on the strip's detail card over a dark desktop, the
    // darkest surface it is drawn on.
    QColor color(60, 60, 67);
    color.setAlphaF(0.8 * opacity);
    return color;
}

QColor thinMaterial(double opacity)
{
    // A real material blurs and lightens whatever lies behind it; a flat fill cannot, so it is as dense as the
    // opacity allows, or a dark desktop shows through and takes the text on it below 4.5:1.
    QColor color(252, 252, 254);
    color.setAlphaF(opacity);
    return color;
}

QColor controlOutline()
{
    return QColor::fromRgbF(0, 0, 0, 0.5f);
}

void setTextColor(QWidget* widget, const QColor& color)
{
    // A widget inside a button takes the button's roles: its text is drawn in ButtonText.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

void setDarkInk(QWidget* widget, const QColor& ink)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ink);
    palette.setColor(QPalette::Text, ink);
    palette.setColor(QPalette::ButtonText, ink);
    palette.setColor(QPalette::Button, QColor(0xfa, 0xfa, 0xfd));
    widget->setPalette(palette);
}

bool hasKeyboardFocus(const QWidget& widget)
{
    return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void paintFocusRing(QPainter& painter, const QWidget& widget, const QPainterPath& ring, double opacity)
{
    QColor color = widget.palette().color(QPalette::Highlight);
    color.setAlphaF(float(color.alphaF() * opacity));
    painter.save();
    painter.setPen(QPen(color, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(ring);
    painter.restore();
}

void paintFocusRing(QPainter& painter, const QWidget& widget, const QRectF& rect, qreal radius)
{
    QPainterPath ring;
    ring.addRoundedRect(rect, radius, radius);
    paintFocusRing(painter, widget, ring);
}

} // namespace pellora::style
