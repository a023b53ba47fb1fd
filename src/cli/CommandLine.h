#pragma once

#include "library/Clock.h"

#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

class QSettings;

namespace pellora {

struct CommandLineContext {
    QTextStream& out;
    QTextStream& err;
    // The user's settings, opened for reading only: the command line never writes them.
    std::function<std::unique_ptr<QSettings>()> openSettings;
    std::shared_ptr<const Clock> clock;
    // Where the built-in pack is looked for when --pack is not given.
    QStringList builtInPackPaths{QStringLiteral(":/roles.json"), QStringLiteral(":/Data/roles.json")};
};

enum ExitCode { exitOk = 0, exitInvalidPack = 1, exitBadArguments = 2 };

// True when the arguments (program name first) ask for a command-line command rather than the app.
bool isCommandLineInvocation(const QStringList& arguments);

// Runs `pellora status|roles|validate|--help|--version`; returns the process exit code.
// `status --watch` keeps printing on the library's refresh interval and returns only on failure.
int runCommandLine(const QStringList& arguments, CommandLineContext& context);

} // namespace pellora
