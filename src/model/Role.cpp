#include "Role.h"

#include <QHashFunctions>

namespace pellora {

bool canonicallyEqual(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    return a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

size_t canonicalHash(const QString& text, size_t seed)
{
    return qHash(text.normalized(QString::NormalizationForm_C), seed);
}

namespace {

bool optionalTextEqual(const std::optional<QString>& a, const std::optional<QString>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || canonicallyEqual(*a, *b);
}

} // namespace

QString RoleEvent::id() const
{
    return time + u'_' + event;
}

bool operator==(const RoleEvent& a, const RoleEvent& b)
{
    return a.energy == b.energy && canonicallyEqual(a.time, b.time) && canonicallyEqual(a.event, b.event) &&
           canonicallyEqual(a.mood, b.mood) && canonicallyEqual(a.location, b.location) &&
           canonicallyEqual(a.social, b.social);
}

size_t qHash(const RoleEvent& event, size_t seed)
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, canonicalHash(event.time));
    seed = combine(seed, canonicalHash(event.event));
    seed = combine(seed, canonicalHash(event.mood));
    seed = combine(seed, canonicalHash(event.location));
    seed = combine(seed, event.energy.has_value());
    seed = combine(seed, event.energy.value_or(0));
    seed = combine(seed, canonicalHash(event.social));
    return seed;
}

bool operator==(const Role& a, const Role& b)
{
    return a.stylePack == b.stylePack && canonicallyEqual(a.id, b.id) && canonicallyEqual(a.name, b.name) &&
           optionalTextEqual(a.displayName, b.displayName) && canonicallyEqual(a.summary, b.summary) &&
           a.events == b.events;
}

size_t qHash(const Role& role, size_t seed)
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, canonicalHash(role.id));
    seed = combine(seed, canonicalHash(role.name));
    seed = combine(seed, role.displayName.has_value());
    if (role.displayName)
        seed = combine(seed, canonicalHash(*role.displayName));
    seed = combine(seed, static_cast<int>(role.stylePack));
    seed = combine(seed, canonicalHash(role.summary));
    for (const RoleEvent& event : role.events)
        seed = combine(seed, qHash(event));
    return seed;
}

} // namespace pellora
