#include "RoleLibrary.h"

#include "PackFile.h"
#include "SettingsText.h"
#include "UniformIndex.h"
#include "model/RolePackCodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSettings>

#include <cstdio>

namespace pellora {
namespace {

void printLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

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
        loadRoles(options.packPaths);
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

void RoleLibrary::loadRoles(const QStringList& packPaths)
{
    QString path;
    for (const QString& candidate : packPaths) {
        if (QFile::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        printLine(QStringLiteral("⚠️ roles.json missing from bundle"));
        return;
    }

    const PackFileRead file = readPackFile(path);
    if (!file.error.isEmpty()) {
        printLine(QStringLiteral("Failed to load roles: ") + file.error);
        return;
    }
    const RolePackDecodeResult decoded = decodeRolePack(file.bytes);
    if (!decoded.ok()) {
        printLine(QStringLiteral("Failed to load roles: ") + decoded.error);
        return;
    }
    m_roles = decoded.payload.roles;
    emit rolesChanged();
    restoreSelection();
    refreshSnapshot();
}

void RoleLibrary::restoreSelection()
{
    std::optional<QString> stored;
    if (m_settings)
        stored = settingsText(*m_settings, storageKey);
    setSelectedRole(restoredRole(m_roles, stored));
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
