#pragma once

#include <QDateTime>

namespace pellora {

// Where the library reads "now" from, so tests can stand at any minute of the day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace pellora
