#include "Style.h"

#include <QFontDatabase>
#include <QWidget>

namespace pellora::style {

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont monoFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
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
        font.setFamilies({family, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
    return font;
}

QFont emojiFont(int pixelSize)
{
    QFont font = systemFont(pixelSize);
    font.setFamilies({QStringLiteral("Noto Color Emoji"), font.family()});
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

} // namespace pellora::style
