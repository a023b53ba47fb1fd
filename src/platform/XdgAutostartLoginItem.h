#pragma once

#include "LoginItem.h"

#include <QByteArray>
#include <QString>

namespace pellora {

/// Launch at login through a desktop entry in the user's XDG autostart folder
/// (`$XDG_CONFIG_HOME/autostart/pellora.desktop`), which desktop environments run at login.
class XdgAutostartLoginItem final : public LoginItem {
public:
    // The user's autostart folder and the running program; needs an application object.
    XdgAutostartLoginItem();
    // Any folder and program path, for tests.
    XdgAutostartLoginItem(QString autostartFolder, QString programPath);

    bool enable(QString* error) override;
    // Removes our entry file itself: a link at its name is removed, never what it leads to.
    bool disable(QString* error) override;
    bool isEnabled() const override;

    QString entryPath() const;

    // The user's autostart folder, after XDG_CONFIG_HOME.
    static QString defaultAutostartFolder();

private:
    QString m_folder;
    QString m_programPath;
};

// The Exec value that runs `programPath` without arguments: quoted when it holds reserved characters,
// with `%` doubled and backslashes escaped once for the quoting and once for the string value.
QString desktopEntryExec(const QString& programPath);

// The whole autostart entry for `programPath`, UTF-8.
QByteArray autostartEntry(const QString& programPath);

} // namespace pellora
