#include "TimelineSnapshot.h"

#include <QRegularExpression>

#include <algorithm>

namespace pellora {
namespace {

// The pattern's \d accepts digits of every script; only ASCII digits carry a value, others read as 0.
int asciiNumber(QStringView digits)
{
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

struct TimelineEntry {
    const RoleEvent* event;
    int start;
    int end;
};

} // namespace

int minuteOfDay(const QDateTime& instant)
{
    const QTime time = instant.toLocalTime().time();
    if (!time.isValid())
        return 0;
    return time.hour() * 60 + time.minute();
}

QList<int> parseClockTimes(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral("(\\d{1,2}):(\\d{2})"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    QList<int> minutes;
    if (!pattern.isValid())
        return minutes;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        minutes.append(asciiNumber(match.capturedView(1)) * 60 + asciiNumber(match.capturedView(2)));
    }
    return minutes;
}

TimelineSnapshot makeSnapshot(const Role& role, int minute)
{
    TimelineSnapshot snapshot{role, std::nullopt, {}};

    std::vector<TimelineEntry> entries;
    entries.reserve(static_cast<size_t>(role.events.size()));
    for (const RoleEvent& event : role.events) {
        const QList<int> times = parseClockTimes(event.time);
        if (times.size() < 2)
            continue;
        const auto [start, end] = std::minmax(times[0], times[1]);
        entries.push_back({&event, start, end});
    }
    if (entries.empty())
        return snapshot;

    std::stable_sort(entries.begin(), entries.end(),
                     [](const TimelineEntry& a, const TimelineEntry& b) { return a.start < b.start; });

    const TimelineEntry* current = nullptr;
    QList<RoleEvent> upcoming;
    for (const TimelineEntry& entry : entries) {
        if (minute < entry.start)
            upcoming.append(*entry.event);
        else if (minute < entry.end)
            current = &entry; // the latest start containing the minute wins
    }
    // Outside every range (before the first, in a gap, after the last) the latest-starting entry stands.
    snapshot.now = *(current ? current : &entries.back())->event;

    // Tomorrow's first events fill the list up to three; repeats are allowed.
    const qsizetype missing = 3 - upcoming.size();
    for (qsizetype i = 0; i < missing && i < qsizetype(entries.size()); ++i)
        upcoming.append(*entries[size_t(i)].event);
    if (upcoming.size() > 3)
        upcoming.resize(3);
    snapshot.upcoming = std::move(upcoming);
    return snapshot;
}

} // namespace pellora
