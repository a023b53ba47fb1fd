#pragma once

#include <QByteArray>
#include <QString>

namespace pellora {

struct PackFileRead {
    QByteArray bytes;
    QString error; // empty when the whole file was read
};

// Reads a pack file whole, refusing anything larger than a pack could sensibly be (64 MiB),
// so a wrong path such as a device or a huge file cannot exhaust memory.
PackFileRead readPackFile(const QString& path);

} // namespace pellora
