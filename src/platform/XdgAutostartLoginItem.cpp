#include "XdgAutostartLoginItem.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <system_error>

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

    // QDir::mkpath gives no reason when it fails; the standard library reports the system's.
    std::error_code code;
    std::filesystem::create_directories(QFile::encodeName(m_folder).toStdString(), code);
    if (code) {
        return fail(QStringLiteral("cannot create the folder %1: %2")
                        .arg(m_folder, QString::fromLocal8Bit(code.message().c_str())));
    }

    // Written beside the entry and renamed over it, so a session starting meanwhile never reads half a file.
    QSaveFile file(entryPath());
    const QByteArray bytes = autostartEntry(m_programPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(entryPath(), file.errorString()));
    return true;
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
