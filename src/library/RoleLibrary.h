#pragma once

#include "Clock.h"
#include "PackFile.h"
#include "model/Role.h"
#include "model/TimelineSnapshot.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

namespace pellora {

struct RoleLibraryOptions {
    // A non-empty list is used as the pack instead of reading one; its first role becomes the selection.
    QList<Role> roles;
    // Where the pack is read from.
    QString packPath = builtInPackPath;
    // Where the choice is persisted; null keeps it in memory only.
    QSettings* settings = nullptr;
    // Source of "now"; the system clock when null.
    std::shared_ptr<const Clock> clock;
    // Uniform 32-bit words for the random draw; the system's secure source when empty.
    std::function<quint32()> randomWord;
    int refreshIntervalMs = 30'000;
};

/// The store of the role side: the pack's roles, the user's chosen role (persisted under
/// "selected_role_id") and the snapshot of what that role is doing now, refreshed every 30 seconds.
class RoleLibrary final : public QObject {
    Q_OBJECT

public:
    static inline const QString storageKey = QStringLiteral("selected_role_id");

    explicit RoleLibrary(RoleLibraryOptions options = {}, QObject* parent = nullptr);
    ~RoleLibrary() override;

    const QList<Role>& roles() const { return m_roles; }
    const std::optional<Role>& selectedRole() const { return m_selectedRole; }
    const std::optional<TimelineSnapshot>& snapshot() const { return m_snapshot; }
    // Why the pack gave no roles; none when it was read, or when roles were given instead.
    const std::optional<PackFailure>& packFailure() const { return m_packFailure; }

    // A direct assignment persists the choice; the snapshot catches up at the next tick.
    void setSelectedRole(const std::optional<Role>& role);

    // Makes the role the selection (it need not be one of roles()) and refreshes at once.
    void select(const Role& role);
    // Selects a role drawn uniformly from roles(), the current one included; nothing when empty.
    void drawRandomRole();
    // Recomputes the snapshot of the selection for the current minute; always publishes.
    void refreshSnapshot();

signals:
    void rolesChanged();
    void selectedRoleChanged();
    void snapshotChanged();

private:
    void loadRoles(const QString& packPath);
    void persistSelection();
    void startTimer(int intervalMs);

    QList<Role> m_roles;
    std::optional<Role> m_selectedRole;
    std::optional<TimelineSnapshot> m_snapshot;
    std::optional<PackFailure> m_packFailure;
    QSettings* m_settings;
    std::shared_ptr<const Clock> m_clock;
    std::function<quint32()> m_randomWord;
    QTimer m_timer;
};

// The first role whose id equals the given one (canonically equivalent texts are equal).
const Role* findRoleById(const QList<Role>& roles, const QString& id);

// The role restored at start: the stored id's first match, else the first role, else none.
std::optional<Role> restoredRole(const QList<Role>& roles, const std::optional<QString>& storedId);

// The id stored as the user's choice; none without settings, or when what is stored is not a text.
std::optional<QString> storedRoleId(const QSettings* settings);

} // namespace pellora
