#include "PackFile.h"

#include <QCoreApplication>
#include <QFile>

namespace pellora {

PackFileRead readPackFile(const QString& path)
{
    constexpr qint64 limit = 64 * 1024 * 1024;
    PackFileRead result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        result.bytes.clear();
    } else if (result.bytes.size() > limit) {
        result.error = QCoreApplication::translate("RoleLibrary", "the file is larger than 64 MiB");
        result.bytes.clear();
    }
    return result;
}

} // namespace pellora
