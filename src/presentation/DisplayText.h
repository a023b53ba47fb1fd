#pragma once

#include "model/Role.h"

#include <QString>

namespace pellora {

// displayName + " · " + name when a display name is present (even an empty one), else name.
QString roleTitle(const Role& role);

// The activity cut to its first `limit` user-perceived characters, followed by "…" when it was longer.
QString shortenedText(const QString& text, qsizetype limit);

// "→ " + time + " · " + the activity shortened to 38 grapheme clusters.
QString upcomingLine(const RoleEvent& event);

// The role's face in lists: its first event's status face, or "(・・;)" for a role without events.
QString previewFace(const Role& role);

// Shown by the strip when there is no role or no current event.
QString stripHintText();

} // namespace pellora
