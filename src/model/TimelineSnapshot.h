#pragma once

#include "Role.h"

#include <QDateTime>
#include <QList>
#include <QStringView>

#include <optional>

namespace pellora {

// What a role is doing at one minute of the day and what follows. Replaced whole on each refresh.
struct TimelineSnapshot {
    Role role;
    std::optional<RoleEvent> now;
    QList<RoleEvent> upcoming; // at most three, in the order they come
};

// Hour × 60 + minute of the instant in the current local time zone.
int minuteOfDay(const QDateTime& instant);

// Every H:MM or HH:MM found in the text, left to right, as minutes. No range check: 25:70 gives 1570.
QList<int> parseClockTimes(QStringView text);

// The current event and up to three upcoming ones for the given minute of the day.
TimelineSnapshot makeSnapshot(const Role& role, int minute);

} // namespace pellora
