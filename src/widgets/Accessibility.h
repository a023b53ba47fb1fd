#pragma once

#include <QAccessible>

class QAbstractButton;
class QString;
class QWidget;

namespace pellora::a11y {

// Gives a custom-painted widget the role it plays (a text, a window) instead of a generic container.
// Only for widgets that need no actions: the widget is exposed as a plain accessible widget.
void setRole(QWidget* widget, QAccessible::Role role);

// Lets Enter and Return press `button` while it has the focus, as Space does. Buttons never become a
// dialog's default button instead: Enter typed in a form field must not press a button elsewhere.
void pressOnEnter(QAbstractButton* button);

// For a custom-painted label: stores its new text in `stored` and names the label by it, as QLabel is
// named by its text. False, changing nothing, when the text is the same.
bool setLabelText(QWidget* label, QString& stored, const QString& text);

} // namespace pellora::a11y
