#pragma once

#include <QColor>
#include <QFont>

class QPainter;
class QPainterPath;
class QRectF;
class QWidget;

namespace pellora::style {

// The system font at a pixel size; every size in the views is in logical pixels.
QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
// The monospaced face at a pixel size.
QFont monoFont(int pixelSize, QFont::Weight weight = QFont::Normal);
// The monospaced face for `text`, a kaomoji face or a text that holds one: fonts chosen so that every
// combining accent in it is drawn over its own base character.
QFont faceFont(const QString& text, int pixelSize, QFont::Weight weight = QFont::Normal);
// A rounded face when one is installed, else the system font.
QFont roundedFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// The system font, preferring a colour emoji face for emoji such as "❤️".
QFont emojiFont(int pixelSize);

// Neutral stand-ins for the platform's adaptive styles, chosen for the light cards they sit on. Both text
// colours keep at least 4.5:1 on every pale surface Pellora draws.
QColor primaryText();
// The secondary (dimmed) style, at `opacity` of its own strength.
QColor secondaryText(double opacity = 1.0);
// The "thin material" fill at `opacity`.
QColor thinMaterial(double opacity);
// The outline that sets a button apart from the surface around it: at least 3:1 on those surfaces.
QColor controlOutline();

// Sets the colour `widget` draws its text in, also inside a button (a label in a clickable row).
void setTextColor(QWidget* widget, const QColor& color);
// Dark text on a pale surface whatever the desktop's colour scheme: `ink` for the texts of `widget` and its
// children, and a near-white face for their buttons.
void setDarkInk(QWidget* widget, const QColor& ink);

// Whether `widget` has the focus and the keyboard brought it there: a click that focuses a control leaves no ring.
bool hasKeyboardFocus(const QWidget& widget);
// The focus ring of a custom-painted control: a 1.5-pixel line along `ring` in the highlight colour of the
// widget's palette, at `opacity`.
void paintFocusRing(QPainter& painter, const QWidget& widget, const QPainterPath& ring, double opacity = 1.0);
// The same along the rounded rectangle `rect`.
void paintFocusRing(QPainter& painter, const QWidget& widget, const QRectF& rect, qreal radius);

} // namespace pellora::style
