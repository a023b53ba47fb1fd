#include "Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QKeyEvent>

namespace pellora::a11y {
namespace {

constexpr char roleProperty[] = "_pellora_accessibleRole";

QAccessibleInterface* roleFactory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(roleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Role(role.toInt()));
}

class EnterPresses final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (!key->isAutoRepeat())
            static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

} // namespace

void setRole(QWidget* widget, QAccessible::Role role)
{
    // Installed on first use, before any interface for a widget with a role of its own is asked for.
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(roleProperty, int(role));
}

void pressOnEnter(QAbstractButton* button)
{
    button->installEventFilter(new EnterPresses(button));
}

bool setLabelText(QWidget* label, QString& stored, const QString& text)
{
    if (text == stored)
        return false;
    stored = text;
    label->setAccessibleName(text);
    return true;
}

} // namespace pellora::a11y
