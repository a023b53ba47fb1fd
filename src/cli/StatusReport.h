#pragma once

#include "model/Role.h"
#include "model/TimelineSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

namespace pellora {

// Terminal and machine-readable renderings of what the strip shows, for the command line.

// Face and title, time and activity, mood and place, meter, then the upcoming lines; the strip's hint when
// there is no snapshot; one line saying so when the chosen role has no event with a time range.
QStringList statusLines(const std::optional<TimelineSnapshot>& snapshot);

// {"role", "minute", "now", "upcoming"}; members keep this order.
QByteArray statusJson(const std::optional<TimelineSnapshot>& snapshot, int minute);

// One line for a status-bar module: {"text", "tooltip", "class", "percentage"}.
QByteArray waybarJson(const std::optional<TimelineSnapshot>& snapshot);

QStringList rolesLines(const QList<Role>& roles);
QByteArray rolesJson(const QList<Role>& roles);

} // namespace pellora
