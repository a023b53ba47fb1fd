#pragma once

#include "StylePack.h"

#include <QList>
#include <QString>

#include <optional>

namespace pellora {

// Text equality used throughout the pack: case-sensitive, canonically equivalent forms equal.
// The stored text itself is never normalised, so it is displayed exactly as written.
bool canonicallyEqual(const QString& a, const QString& b);

// One entry of a role's day.
struct RoleEvent {
    QString time;
    QString event;
    QString mood;
    QString location;
    std::optional<qint64> energy;
    QString social;

    // Derived identity: time, "_", event.
    QString id() const;

    friend bool operator==(const RoleEvent& a, const RoleEvent& b);
};

// An invented persona with a one-day timeline, in file order.
struct Role {
    QString id;
    QString name;
    std::optional<QString> displayName;
    StylePack stylePack = StylePack::classicKaomoji;
    QString summary;
    QList<RoleEvent> events;

    friend bool operator==(const Role& a, const Role& b);
};

// The pack document's top level.
struct RoleLibraryPayload {
    QList<Role> roles;

    friend bool operator==(const RoleLibraryPayload& a, const RoleLibraryPayload& b) { return a.roles == b.roles; }
};

} // namespace pellora
