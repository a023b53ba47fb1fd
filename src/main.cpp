#include "cli/CommandLine.h"
#include "pellora_version.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>
#include <unistd.h>

using namespace pellora;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pellora"));
    QCoreApplication::setApplicationName(QStringLiteral("Pellora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLORA_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLineContext context{out, err, [] { return std::make_unique<QSettings>(); }, std::make_shared<SystemClock>()};

    QStringList arguments = QCoreApplication::arguments();
    if (!isCommandLineInvocation(arguments)) {
        // The live status of the chosen role, in the terminal; a single report when not attached to one.
        arguments = {arguments.value(0), QStringLiteral("status")};
        if (isatty(fileno(stdout)))
            arguments.append(QStringLiteral("--watch"));
    }
    return runCommandLine(arguments, context);
}
