#pragma once

#include <QColor>
#include <QFont>

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

} // namespace pellora::style
