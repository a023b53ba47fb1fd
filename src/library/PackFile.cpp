#include "PackFile.h"

#include <QCoreApplication>
#include <QFile>

namespace pellora {

PackFileRead readPackFile(const QString& path)
{
    constexpr qint64 limit = 64 * 1024 * 1024;
    constexpr qint64 piece = 1024 * 1024;
    PackFileRead result;
    const auto refuse = [&result](const QString& error) {
        result.error = error;
        result.bytes.clear();
        result.bytes.squeeze();
        return result;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    const QString tooLarge = QCoreApplication::translate("RoleLibrary", "the file is larger than 64 MiB");
    if (!file.isSequential() && file.size() > limit)
        return refuse(tooLarge);
    // Read in pieces: asking QIODevice for the whole limit at once reserves all of it up front. A pipe or
    // a file that grows while being read is still stopped at the limit.
    while (true) {
        const QByteArray chunk = file.read(piece);
        if (chunk.isEmpty())
            break;
        result.bytes += chunk;
        if (result.bytes.size() > limit)
            return refuse(tooLarge);
    }
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    return result;
}

} // namespace pellora
