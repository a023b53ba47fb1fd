#pragma once

#include "library/Clock.h"
#include "library/PackFile.h"
#include "model/Role.h"

#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

namespace pellora {

struct CommandLineContext {
    QTextStream& out;
    QTextStream& err;
    // The user's settings, opened for reading only: the command line never writes them.
    std::function<std::unique_ptr<QSettings>()> openSettings;
    std::shared_ptr<const Clock> clock;
    // Where the pack is read from when --pack is not given.
    QString packPath = builtInPackPath;
};

enum ExitCode { exitOk = 0, exitInvalidPack = 1, exitBadArguments = 2 };

// True when the arguments (program name first) ask for a command-line command rather than the app.
bool isCommandLineInvocation(const QStringList& arguments);

// The role the app would start with among `roles`: the stored choice, else the first role.
std::optional<Role> startingRole(const QList<Role>& roles, const CommandLineContext& context);

// Runs `pellora status|roles|validate|--help|--version`; returns the process exit code.
// `status --watch` keeps printing on the library's refresh interval and returns only on failure.
int runCommandLine(const QStringList& arguments, CommandLineContext& context);

} // namespace pellora
