#pragma once

#include <QString>

namespace pellora {

/// Registration of Pellora as a program the desktop starts when the current user logs in.
/// One implementation per platform; tests use a fake.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    /// Registers the running program to start at login, replacing an earlier registration.
    /// Returns false on failure and, when `error` is given, puts a readable reason in it.
    virtual bool enable(QString* error) = 0;

    /// Removes the registration; succeeds when there is none. Returns false on failure and, when `error`
    /// is given, puts a readable reason in it.
    virtual bool disable(QString* error) = 0;

    /// Whether the program is registered and the registration is not switched off.
    virtual bool isEnabled() const = 0;
};

} // namespace pellora
