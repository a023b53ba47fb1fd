#include "StatusReport.h"

#include "model/JsonWriter.h"
#include "presentation/DisplayText.h"
#include "presentation/EnergyMeter.h"
#include "presentation/StatusRendering.h"

namespace pellora {
namespace {

using namespace Qt::StringLiterals;

bool hasCurrentEvent(const std::optional<TimelineSnapshot>& snapshot)
{
    return snapshot && snapshot->now;
}

QString moodText(const RoleEvent& event)
{
    return event.mood.isEmpty() ? QStringLiteral("—") : event.mood;
}

QByteArray roleJson(const Role& role)
{
    return JsonObjectWriter()
        .add("id"_L1, role.id)
        .add("name"_L1, role.name)
        .add("displayName"_L1, role.displayName)
        .add("stylePack"_L1, stylePackText(role.stylePack))
        .add("title"_L1, roleTitle(role))
        .toJson();
}

QByteArray nowJson(const RoleEvent& event, StylePack stylePack)
{
    return JsonObjectWriter()
        .add("id"_L1, event.id())
        .add("time"_L1, event.time)
        .add("event"_L1, event.event)
        .add("mood"_L1, event.mood)
        .add("location"_L1, event.location)
        .add("energy"_L1, event.energy)
        .add("social"_L1, event.social)
        .add("category"_L1, moodCategoryName(moodCategory(event)))
        .add("face"_L1, statusFace(event, stylePack))
        .add("meter"_L1, meterText(event.energy))
        .toJson();
}

QByteArray upcomingJson(const RoleEvent& event)
{
    return JsonObjectWriter()
        .add("id"_L1, event.id())
        .add("time"_L1, event.time)
        .add("event"_L1, event.event)
        .add("line"_L1, upcomingLine(event))
        .toJson();
}

} // namespace

QStringList statusLines(const std::optional<TimelineSnapshot>& snapshot)
{
    // A chosen role without a current event has no event with a time range at all: say so rather than
    // suggest choosing a role.
    if (snapshot && !snapshot->now)
        return {u"%1: no event has a time range, so there is nothing to show"_s.arg(roleTitle(snapshot->role))};
    if (!hasCurrentEvent(snapshot))
        return {stripHintText()};
    const RoleEvent& now = *snapshot->now;
    QStringList lines{
        statusFace(now, snapshot->role.stylePack) + u"  "_s + roleTitle(snapshot->role),
        now.time + u"  "_s + now.event,
        u"❤️ "_s + moodText(now) + u"   @ "_s + now.location,
        meterText(now.energy),
        QStringLiteral("接下来"),
    };
    for (const RoleEvent& event : snapshot->upcoming)
        lines.append(upcomingLine(event));
    return lines;
}

QByteArray statusJson(const std::optional<TimelineSnapshot>& snapshot, int minute)
{
    JsonObjectWriter json;
    if (snapshot)
        json.addRaw("role"_L1, roleJson(snapshot->role));
    else
        json.addNull("role"_L1);
    json.add("minute"_L1, minute);
    if (hasCurrentEvent(snapshot))
        json.addRaw("now"_L1, nowJson(*snapshot->now, snapshot->role.stylePack));
    else
        json.addNull("now"_L1);
    QList<QByteArray> upcoming;
    if (snapshot) {
        for (const RoleEvent& event : snapshot->upcoming)
            upcoming.append(upcomingJson(event));
    }
    json.addRaw("upcoming"_L1, jsonArray(upcoming));
    return json.toJson();
}

QByteArray waybarJson(const std::optional<TimelineSnapshot>& snapshot)
{
    JsonObjectWriter json;
    if (!hasCurrentEvent(snapshot)) {
        return json.add("text"_L1, stripHintText())
            .add("tooltip"_L1, stripHintText())
            .add("class"_L1, u"empty"_s)
            .add("percentage"_L1, 0)
            .toJson();
    }
    const QStringList lines = statusLines(snapshot);
    const RoleEvent& now = *snapshot->now;
    return json.add("text"_L1, statusFace(now, snapshot->role.stylePack) + u"  "_s + roleTitle(snapshot->role))
        .add("tooltip"_L1, lines.join(u'\n'))
        .add("class"_L1, moodCategoryName(moodCategory(now)))
        .add("percentage"_L1, filledCells(now.energy) * 20)
        .toJson();
}

QStringList rolesLines(const QList<Role>& roles)
{
    QStringList lines;
    for (const Role& role : roles) {
        lines.append(previewFace(role) + u"  "_s + roleTitle(role) + u"  ("_s + role.id + u')');
        lines.append(u"    "_s + role.summary);
    }
    return lines;
}

QByteArray rolesJson(const QList<Role>& roles)
{
    QList<QByteArray> elements;
    for (const Role& role : roles) {
        elements.append(JsonObjectWriter()
                            .add("id"_L1, role.id)
                            .add("name"_L1, role.name)
                            .add("displayName"_L1, role.displayName)
                            .add("stylePack"_L1, stylePackText(role.stylePack))
                            .add("title"_L1, roleTitle(role))
                            .add("face"_L1, previewFace(role))
                            .add("summary"_L1, role.summary)
                            .toJson());
    }
    return jsonArray(elements);
}

} // namespace pellora
