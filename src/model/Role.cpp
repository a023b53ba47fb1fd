#include "Role.h"

namespace pellora {

bool canonicallyEqual(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    return a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
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

bool operator==(const Role& a, const Role& b)
{
    return a.stylePack == b.stylePack && canonicallyEqual(a.id, b.id) && canonicallyEqual(a.name, b.name) &&
           optionalTextEqual(a.displayName, b.displayName) && canonicallyEqual(a.summary, b.summary) &&
           a.events == b.events;
}

} // namespace pellora
