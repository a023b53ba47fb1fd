#include "PackFile.h"

#include "model/RolePackCodec.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellora {

QString openRegularFile(const QString& path, QFile& file)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return S_ISDIR(status.st_mode) ? QCoreApplication::translate("RoleLibrary", "it is a directory")
                                       : QCoreApplication::translate("RoleLibrary", "it is not a regular file");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
}

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
    QFile file;
    if (path.startsWith(u':')) {
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            return refuse(file.errorString());
    } else if (const QString error = openRegularFile(path, file); !error.isEmpty()) {
        return refuse(error);
    }
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

RolePackLoad loadRolePack(const QString& path)
{
    const PackFileRead file = readPackFile(path);
    if (!file.error.isEmpty()) {
        const auto kind = QFile::exists(path) ? PackFailure::Kind::unreadable : PackFailure::Kind::missing;
        return {{}, PackFailure{kind, file.error}};
    }
    RolePackDecodeResult decoded = decodeRolePack(file.bytes);
    if (!decoded.ok())
        return {{}, PackFailure{PackFailure::Kind::invalid, decoded.error}};
    return {std::move(decoded.payload.roles), std::nullopt};
}

} // namespace pellora
