#pragma once

#include "StatusRendering.h"
#include "model/TimelineSnapshot.h"

#include <QString>

#include <optional>

namespace pellora::a11y {

// What screen readers are given for the views' texts: words where the screen shows a face or a gauge,
// so a listener hears what the picture means instead of the characters it is drawn with.

// The mood a face shows, in words ("放松").
QString moodWords(MoodCategory category);
// A face or status tag, said as the mood it shows ("表情：放松").
QString spokenFace(const RoleEvent& event);
// The strip as one sentence: the role's title, the time and the activity.
QString stripAnnouncement(const TimelineSnapshot& snapshot);
// Everything the strip's detail card shows, as one readable text: mood, place, energy "3/5" and what comes next.
QString stripDetails(const TimelineSnapshot& snapshot);
// One upcoming event: its time and its whole activity, without the arrow and the cut.
QString spokenUpcoming(const RoleEvent& event);
// The energy gauge as words and a fraction ("精力 3/5").
QString spokenEnergy(std::optional<qint64> level);

} // namespace pellora::a11y
