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

// Neutral stand-ins for the platform's adaptive styles, chosen for the light cards they sit on.
QColor primaryText();
QColor secondaryText(double opacity = 1.0);
// A translucent "thin material" fill.
QColor thinMaterial(double opacity);

// Sets the colour `widget` draws its text in (a label's text, for instance).
void setTextColor(QWidget* widget, const QColor& color);

} // namespace pellora::style
