#include "Accessibility.h"

#include "ControlCharacters.h"
#include "DisplayText.h"
#include "EnergyMeter.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>

namespace pellora::a11y {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("Accessibility", text);
}

QString orNone(const QString& text)
{
    return text.isEmpty() ? tr("无") : labelText(text);
}

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

QString moodWords(MoodCategory category)
{
    switch (category) {
    case MoodCategory::sleeping:
        return tr("睡觉");
    case MoodCategory::chill:
        return tr("放松");
    case MoodCategory::focus:
        return tr("专注");
    case MoodCategory::hyperdrive:
        return tr("兴奋");
    case MoodCategory::chaos:
        return tr("慌乱");
    }
    return {};
}

QString spokenFace(const RoleEvent& event)
{
    return tr("表情：%1").arg(moodWords(moodCategory(event)));
}

QString stripAnnouncement(const TimelineSnapshot& snapshot)
{
    if (!snapshot.now)
        return stripHintText();
    return tr("%1，%2，%3")
        .arg(labelText(roleTitle(snapshot.role)), labelText(snapshot.now->time), labelText(snapshot.now->event));
}

QString spokenUpcoming(const RoleEvent& event)
{
    return tr("%1，%2").arg(labelText(event.time), labelText(event.event));
}

QString spokenEnergy(std::optional<qint64> level)
{
    return tr("精力 %1/5").arg(filledCells(level));
}

QString stripDetails(const TimelineSnapshot& snapshot)
{
    if (!snapshot.now)
        return {};
    const RoleEvent& now = *snapshot.now;
    QString text = tr("心情：%1，地点：%2，%3。").arg(orNone(now.mood), orNone(now.location), spokenEnergy(now.energy));
    if (snapshot.upcoming.isEmpty())
        return text;
    QStringList upcoming;
    for (const RoleEvent& event : snapshot.upcoming)
        upcoming << spokenUpcoming(event);
    return text + tr("接下来：%1。").arg(upcoming.join(tr("；")));
}

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

} // namespace pellora::a11y
