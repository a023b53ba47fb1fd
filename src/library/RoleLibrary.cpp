#include "RoleLibrary.h"

#include "SettingsText.h"
#include "UniformIndex.h"

#include <QRandomGenerator>
#include <QSettings>

namespace pellora {

const Role* findRoleById(const QList<Role>& roles, const QString& id)
{
    for (const Role& role : roles) {
        if (canonicallyEqual(role.id, id))
            return &role;
    }
    return nullptr;
}

std::optional<Role> restoredRole(const QList<Role>& roles, const std::optional<QString>& storedId)
{
    if (storedId) {
        if (const Role* match = findRoleById(roles, *storedId))
            return *match;
    }
    if (roles.isEmpty())
        return std::nullopt;
    return roles.first();
}

std::optional<QString> storedRoleId(const QSettings* settings)
{
    return settings ? settingsText(*settings, RoleLibrary::storageKey) : std::nullopt;
}

RoleLibrary::RoleLibrary(RoleLibraryOptions options, QObject* parent)
    : QObject(parent), m_settings(options.settings), m_clock(std::move(options.clock)),
      m_randomWord(std::move(options.randomWord))
{
    if (!m_clock)
        m_clock = std::make_shared<SystemClock>();
    if (!m_randomWord)
        m_randomWord = [] {
            return QRandomGenerator::system()->generate();
        };

    if (!options.roles.isEmpty()) {
        m_roles = std::move(options.roles);
        setSelectedRole(m_roles.first());
    } else {
        loadRoles(options.packPath);
    }
    startTimer(options.refreshIntervalMs);
    refreshSnapshot();
}

RoleLibrary::~RoleLibrary() = default;

void RoleLibrary::setSelectedRole(const std::optional<Role>& role)
{
    m_selectedRole = role;
    persistSelection();
    emit selectedRoleChanged();
}

void RoleLibrary::select(const Role& role)
{
    setSelectedRole(role);
    refreshSnapshot();
}

void RoleLibrary::drawRandomRole()
{
    if (m_roles.isEmpty())
        return;
    const quint32 index = uniformIndex(quint32(m_roles.size()), m_randomWord);
    setSelectedRole(m_roles.at(qsizetype(index)));
    refreshSnapshot();
}

void RoleLibrary::refreshSnapshot()
{
    if (m_selectedRole)
        m_snapshot = makeSnapshot(*m_selectedRole, minuteOfDay(m_clock->now()));
    else
        m_snapshot.reset();
    emit snapshotChanged();
}

void RoleLibrary::loadRoles(const QString& packPath)
{
    RolePackLoad pack = loadRolePack(packPath);
    m_packFailure = pack.failure;
    if (m_packFailure)
        return;
    m_roles = std::move(pack.roles);
    emit rolesChanged();
    setSelectedRole(restoredRole(m_roles, storedRoleId(m_settings)));
    refreshSnapshot();
}

void RoleLibrary::persistSelection()
{
    if (m_settings && m_selectedRole)
        writeSetting(*m_settings, storageKey, m_selectedRole->id);
}

void RoleLibrary::startTimer(int intervalMs)
{
    m_timer.stop();
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    // The timer is a member: it stops with the library, so no tick reaches a destroyed library.
    connect(&m_timer, &QTimer::timeout, this, &RoleLibrary::refreshSnapshot, Qt::UniqueConnection);
    m_timer.start();
}

} // namespace pellora
