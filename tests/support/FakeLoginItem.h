#pragma once

#include "platform/LoginItem.h"

namespace pellora::test {

// Launch at login held in memory; every change is refused with `failure` while it is set.
struct FakeLoginItem final : LoginItem {
    bool enable(QString* error) override { return change(true, error); }
    bool disable(QString* error) override { return change(false, error); }
    bool isEnabled() const override { return enabled; }
    bool change(bool on, QString* error)
    {
        ++changes;
        *error = failure;
        enabled = failure.isEmpty() ? on : enabled;
        return failure.isEmpty();
    }
    bool enabled = false;
    int changes = 0;
    QString failure;
};

} // namespace pellora::test
