#pragma once

#include "model/Role.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QFile;

namespace pellora {

struct PackFileRead {
    QByteArray bytes;
    QString error; // empty when the whole file was read
};

// Opens a file for reading only if it is a regular file (a link is judged by its target). It never waits:
// a FIFO without a writer or a device would hold a plain open or read forever. The descriptor itself is
// checked, so the name cannot be swapped between the check and the open. Returns the reason on failure.
QString openRegularFile(const QString& path, QFile& file);

// Reads a pack file whole, refusing anything larger than a pack could sensibly be (64 MiB) and anything
// that is not a regular file, so a wrong path such as a device, a FIFO or a huge file cannot hang the
// caller or exhaust its memory. Paths starting with ':' are the program's own resources.
PackFileRead readPackFile(const QString& path);

// The pack that ships inside the program.
inline const QString builtInPackPath = QStringLiteral(":/roles.json");

// Why a pack gave no roles.
struct PackFailure {
    enum class Kind { missing, unreadable, invalid };
    Kind kind;
    QString reason; // the system's words for a missing or unreadable file, the decoder's for an invalid pack
};

struct RolePackLoad {
    QList<Role> roles;
    std::optional<PackFailure> failure; // none when the pack was read and decoded
};

// Reads and decodes the pack at `path`, as readPackFile reads it: its roles, or why there are none.
RolePackLoad loadRolePack(const QString& path);

} // namespace pellora
