#include "XdgAutostartLoginItem.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellora {

namespace {

const QString entryFileName = QStringLiteral("pellora.desktop");

// Characters that force an Exec argument into double quotes (the Desktop Entry "Exec" key), plus the
// carriage return, which is whitespace as well.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Escapes for a value of type string: a backslash, and the whitespace that cannot stand in a line.
QString escapeStringValue(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

bool isTrue(QStringView value)
{
    return value.trimmed() == u"true";
}

bool isFalse(QStringView value)
{
    return value.trimmed() == u"false";
}

// Writes `bytes` to a new file beside `path` and renames it over `path`. A session starting meanwhile
// reads the old entry or the new one, never half of one; and a link at `path` is replaced by the file,
// never written through (QSaveFile would follow it and overwrite, or create, whatever it points to).
// On failure nothing is left behind and errno tells why.
bool writeByRename(const QString& path, const QByteArray& bytes)
{
    // Hidden and without the ".desktop" suffix, so no session takes the unfinished file for an entry.
    QByteArray temporary = QFile::encodeName(QFileInfo(path).path()) + "/.pellora.desktop.XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // O_CREAT | O_EXCL, a fresh name
    if (fd < 0)
        return false;
    const auto failed = [&temporary](int fdToClose) {
        const int reason = errno;
        if (fdToClose >= 0)
            ::close(fdToClose);
        ::unlink(temporary.constData());
        errno = reason;
        return false;
    };
    // mkostemp makes the file private; an entry is no secret and is usually readable by all.
    if (::fchmod(fd, 0644) != 0)
        return failed(fd);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return failed(fd);
        }
        done += written;
    }
    if (::fsync(fd) != 0)
        return failed(fd);
    if (::close(fd) != 0)
        return failed(-1);
    if (::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        return failed(-1);
    return true;
}

} // namespace

QString desktopEntryExec(const QString& programPath)
{
    const bool quoted = std::any_of(programPath.begin(), programPath.end(), isReserved);
    QString argument;
    argument.reserve(programPath.size() + 8);
    if (quoted)
        argument += u'"';
    for (const QChar c : programPath) {
        if (c == u'%')
            argument += QStringLiteral("%%");
        else if (quoted && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            argument.append(u'\\').append(c);
        else
            argument += c;
    }
    if (quoted)
        argument += u'"';
    // The quoting rule applies to the value after its string escapes are undone, so escape them last.
    return escapeStringValue(argument);
}

QByteArray autostartEntry(const QString& programPath)
{
    const QString entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Pellora\n"
                       "Comment=A desktop companion that follows an invented persona through its day\n"
                       "Exec=%1\n"
                       "Icon=pellora\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(desktopEntryExec(programPath));
    return entry.toUtf8();
}

XdgAutostartLoginItem::XdgAutostartLoginItem()
    : XdgAutostartLoginItem(defaultAutostartFolder(), QCoreApplication::applicationFilePath())
{}

XdgAutostartLoginItem::XdgAutostartLoginItem(QString autostartFolder, QString programPath)
    : m_folder(std::move(autostartFolder)), m_programPath(std::move(programPath))
{}

QString XdgAutostartLoginItem::defaultAutostartFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QStringLiteral("/autostart");
}

QString XdgAutostartLoginItem::entryPath() const
{
    return m_folder + u'/' + entryFileName;
}

bool XdgAutostartLoginItem::enable(QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (m_folder.isEmpty())
        return fail(QStringLiteral("no configuration folder is known for this user"));
    if (m_programPath.isEmpty())
        return fail(QStringLiteral("the path of the running program is unknown"));

    // Creating missing folders goes through mkdir(2), which never follows a link at the name it creates:
    // a link that leads nowhere fails with "File exists" and nothing is made where it points. A folder
    // that exists behind a link (a dotfiles checkout holding the user's autostart folder) is used as the
    // user arranged it. QDir::mkpath gives no reason when it fails; the standard library reports the system's.
    std::error_code code;
    std::filesystem::create_directories(QFile::encodeName(m_folder).toStdString(), code);
    if (code) {
        return fail(QStringLiteral("cannot create the folder %1: %2")
                        .arg(m_folder, QString::fromLocal8Bit(code.message().c_str())));
    }

    const QString entry = entryPath();
    if (!writeByRename(entry, autostartEntry(m_programPath)))
        return fail(QStringLiteral("cannot write %1: %2").arg(entry, qt_error_string(errno)));
    return true;
}

bool XdgAutostartLoginItem::disable(QString* error)
{
    if (m_folder.isEmpty())
        return true; // no folder, no entry
    // unlink(2) removes the name, never a link's target, and refuses a folder at that name.
    const QString entry = entryPath();
    if (::unlink(QFile::encodeName(entry).constData()) == 0 || errno == ENOENT)
        return true;
    const int reason = errno;
    if (error)
        *error = QStringLiteral("cannot remove %1: %2").arg(entry, qt_error_string(reason));
    return false;
}

bool XdgAutostartLoginItem::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The desktop environment's own switches for an entry the user has turned off.
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0)
            continue;
        const QStringView key = QStringView(line).left(equals).trimmed();
        const QStringView value = QStringView(line).mid(equals + 1);
        if ((key == u"Hidden" && isTrue(value)) || (key == u"X-GNOME-Autostart-enabled" && isFalse(value)))
            return false;
    }
    return true;
}

} // namespace pellora
