#include "SpokenText.h"

#include "ControlCharacters.h"
#include "DisplayText.h"
#include "EnergyMeter.h"

#include <QCoreApplication>

#include <array>

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

} // namespace

QString moodWords(MoodCategory category)
{
    // In the order of the categories.
    static constexpr std::array<const char*, moodCategoryCount> words{
        QT_TRANSLATE_NOOP("Accessibility", "睡觉"), QT_TRANSLATE_NOOP("Accessibility", "放松"),
        QT_TRANSLATE_NOOP("Accessibility", "专注"), QT_TRANSLATE_NOOP("Accessibility", "兴奋"),
        QT_TRANSLATE_NOOP("Accessibility", "慌乱")};
    return tr(words.at(size_t(category)));
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

} // namespace pellora::a11y
