// Arbitrary text as event times, read both as UTF-8 and as raw UTF-16: clock parsing stays in range and
// every snapshot of the day keeps its shape.
#include "FuzzCheck.h"

#include "model/TimelineSnapshot.h"

#include <QString>

#include <cstring>

using namespace pellora;
using pellora::fuzz::require;

namespace {

// More events add run time, not new behaviour.
constexpr qsizetype maxEvents = 48;

QList<int> checkedTimes(QStringView text)
{
    const QList<int> times = parseClockTimes(text);
    // Each match spans at least "d:dd"; two digits each side give at most 99:99.
    require(times.size() * 4 <= text.size());
    for (int minutes : times)
        require(minutes >= 0 && minutes <= 99 * 60 + 99);
    return times;
}

void addEvents(Role& role, const QString& text)
{
    for (const QString& piece : text.split(u'\n')) {
        if (role.events.size() == maxEvents)
            return;
        RoleEvent event;
        event.time = piece;
        event.event = QString::number(role.events.size()); // keeps equal times apart
        role.events.append(event);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString utf8 = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size_t(utf16.size()) * sizeof(char16_t));
    checkedTimes(utf8);
    checkedTimes(utf16);

    Role role;
    addEvents(role, utf8);
    addEvents(role, utf16);
    bool anyRange = false;
    for (const RoleEvent& event : role.events)
        anyRange = anyRange || checkedTimes(event.time).size() >= 2;

    for (int minute = 0; minute < 1440; minute += 97) {
        const TimelineSnapshot snapshot = makeSnapshot(role, minute);
        require(snapshot.upcoming.size() <= 3);
        require(snapshot.now.has_value() == anyRange);
        require(snapshot.upcoming.isEmpty() != anyRange);
        if (snapshot.now)
            require(role.events.contains(*snapshot.now));
        for (const RoleEvent& event : snapshot.upcoming)
            require(parseClockTimes(event.time).size() >= 2 && role.events.contains(event));
    }
    return 0;
}
