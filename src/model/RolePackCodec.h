#pragma once

#include "Role.h"

#include <QByteArray>
#include <QString>

namespace pellora {

// Outcome of decoding a pack: either the whole payload or an error naming the key path and the reason,
// for example "roles[2].events[0].social: missing". Never a partial payload.
struct RolePackDecodeResult {
    RoleLibraryPayload payload;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

RolePackDecodeResult decodeRolePack(const QByteArray& json);

// Writes a pack with the same keys; absent displayName and energy are left out.
QByteArray encodeRolePack(const RoleLibraryPayload& payload);

} // namespace pellora
