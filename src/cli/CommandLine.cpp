#include "CommandLine.h"

#include "StatusReport.h"
#include "SubmitCommand.h"
#include "library/RoleLibrary.h"
#include "model/TimelineSnapshot.h"
#include "pellora_version.h"
#include "presentation/ControlCharacters.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

namespace pellora {
namespace {

using namespace Qt::StringLiterals;

QString usage()
{
    return u"Usage: pellora [COMMAND] [OPTIONS]\n"
           "\n"
           "A desktop companion that follows an invented persona through its day.\n"
           "\n"
           "Commands:\n"
           "  status [--pack FILE] [--role ID] [--at HH:MM] [--json | --format waybar] [--watch]\n"
           "                      what the chosen role is doing now, and what comes next\n"
           "  roles [--pack FILE] [--json]\n"
           "                      every role of the pack, in pack order\n"
           "  validate FILE       check a role pack file; prints its size or the first error\n"
           "  submit --nickname NAME [--email EMAIL] [--occupation OCCUPATION] --schedule-file FILE|-\n"
           "                      upload one day of your own life; prints where it went\n"
           "\n"
           "Options:\n"
           "  -h, --help          show this help\n"
           "  -v, --version       show the version\n"
           "\n"
           "Exit status: 0 on success, 1 for an invalid role pack or a failed upload, 2 for bad arguments.\n"_s;
}

class Runner {
public:
    explicit Runner(CommandLineContext& context) : m_context(context) {}

    // Messages quote arguments, paths and pack texts: each is escaped to stay one harmless line.
    int usageError(const QString& message)
    {
        m_context.err << "pellora: " << terminalText(message) << "\nTry 'pellora --help'.\n";
        m_context.err.flush();
        return exitBadArguments;
    }

    int error(ExitCode code, const QString& message)
    {
        m_context.err << "pellora: " << terminalText(message) << '\n';
        m_context.err.flush();
        return code;
    }

    void warn(const QString& message)
    {
        m_context.err << "warning: " << terminalText(message) << '\n';
        m_context.err.flush();
    }

    // Our own texts and JSON (which escapes every control character itself), written as they are.
    void printVerbatim(const QString& text)
    {
        m_context.out << text << '\n';
        m_context.out.flush();
    }

    // Lines that carry pack texts: each escaped, the line breaks are ours.
    void print(const QStringList& lines)
    {
        for (const QString& line : lines)
            m_context.out << terminalText(line) << '\n';
        m_context.out.flush();
    }

    // Reads the pack from --pack or the built-in one; on failure returns the exit code.
    std::optional<int> loadPack(const QString& packPath, QList<Role>& roles)
    {
        const QString path = packPath.isEmpty() ? m_context.packPath : packPath;
        RolePackLoad pack = loadRolePack(path);
        if (!pack.failure) {
            roles = std::move(pack.roles);
            return std::nullopt;
        }
        const PackFailure& failure = *pack.failure;
        if (failure.kind == PackFailure::Kind::invalid)
            return error(exitInvalidPack, u"%1: %2"_s.arg(path, failure.reason));
        if (failure.kind == PackFailure::Kind::missing && packPath.isEmpty())
            return error(exitInvalidPack, u"the built-in roles.json is missing"_s);
        return error(exitBadArguments, u"cannot read %1: %2"_s.arg(path, failure.reason));
    }

    int status(const QStringList& arguments)
    {
        QCommandLineParser parser;
        const QCommandLineOption pack(u"pack"_s, {}, u"FILE"_s);
        const QCommandLineOption role(u"role"_s, {}, u"ID"_s);
        const QCommandLineOption at(u"at"_s, {}, u"HH:MM"_s);
        const QCommandLineOption json(u"json"_s);
        const QCommandLineOption format(u"format"_s, {}, u"FORMAT"_s);
        const QCommandLineOption watch(u"watch"_s);
        parser.addOptions({pack, role, at, json, format, watch});
        if (!parser.parse(arguments))
            return usageError(parser.errorText());
        if (!parser.positionalArguments().isEmpty())
            return usageError(u"unexpected argument '%1'"_s.arg(parser.positionalArguments().first()));
        if (parser.isSet(format) && parser.value(format) != u"waybar")
            return usageError(u"unknown format '%1' (the only format is waybar)"_s.arg(parser.value(format)));
        if (parser.isSet(format) && parser.isSet(json))
            return usageError(u"--json and --format cannot be combined"_s);

        std::optional<int> fixedMinute;
        if (parser.isSet(at)) {
            fixedMinute = parseMinute(parser.value(at));
            if (!fixedMinute)
                return usageError(
                    u"--at expects a time of day as HH:MM, from 00:00 to 23:59, not '%1'"_s.arg(parser.value(at)));
        }

        QList<Role> roles;
        if (const std::optional<int> failed = loadPack(parser.value(pack), roles))
            return *failed;

        std::optional<Role> chosen;
        if (parser.isSet(role)) {
            const Role* match = findRoleById(roles, parser.value(role));
            if (!match)
                return usageError(u"no role with the id '%1' (see 'pellora roles')"_s.arg(parser.value(role)));
            chosen = *match;
        } else {
            chosen = startingRole(roles, m_context);
        }

        const auto report = [this, chosen, fixedMinute, json = parser.isSet(json), waybar = parser.isSet(format)] {
            const int minute = fixedMinute ? *fixedMinute : minuteOfDay(m_context.clock->now());
            std::optional<TimelineSnapshot> snapshot;
            if (chosen)
                snapshot = makeSnapshot(*chosen, minute);
            if (json)
                printVerbatim(QString::fromUtf8(statusJson(snapshot, minute)));
            else if (waybar)
                printVerbatim(QString::fromUtf8(waybarJson(snapshot)));
            else
                print(statusLines(snapshot));
        };
        report();
        if (!parser.isSet(watch) || fixedMinute)
            return exitOk;

        // Live: the same cadence as the app's library, with a blank line between reports.
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [this, &report] {
            m_context.out << '\n';
            report();
        });
        timer.start(RoleLibraryOptions().refreshIntervalMs);
        return QCoreApplication::exec();
    }

    int roles(const QStringList& arguments)
    {
        QCommandLineParser parser;
        const QCommandLineOption pack(u"pack"_s, {}, u"FILE"_s);
        const QCommandLineOption json(u"json"_s);
        parser.addOptions({pack, json});
        if (!parser.parse(arguments))
            return usageError(parser.errorText());
        if (!parser.positionalArguments().isEmpty())
            return usageError(u"unexpected argument '%1'"_s.arg(parser.positionalArguments().first()));
        QList<Role> roles;
        if (const std::optional<int> failed = loadPack(parser.value(pack), roles))
            return *failed;
        if (parser.isSet(json))
            printVerbatim(QString::fromUtf8(rolesJson(roles)));
        else
            print(rolesLines(roles));
        return exitOk;
    }

    int validate(const QStringList& arguments)
    {
        QCommandLineParser parser;
        if (!parser.parse(arguments))
            return usageError(parser.errorText());
        if (parser.positionalArguments().size() != 1)
            return usageError(u"validate takes exactly one file"_s);
        QList<Role> roles;
        if (const std::optional<int> failed = loadPack(parser.positionalArguments().first(), roles))
            return *failed;
        // The decoder checks types only; an event that can never be shown is worth a warning.
        static const QString neverShows =
            u"roles[%1].events[%2].time: fewer than two clock times; this event never shows"_s;
        qsizetype events = 0;
        for (qsizetype r = 0; r < roles.size(); ++r) {
            const QList<RoleEvent>& list = roles.at(r).events;
            for (qsizetype e = 0; e < list.size(); ++e) {
                if (parseClockTimes(list.at(e).time).size() < 2)
                    warn(neverShows.arg(r).arg(e));
            }
            events += list.size();
        }
        print({u"ok: %1 roles, %2 events"_s.arg(roles.size()).arg(events)});
        return exitOk;
    }

private:
    static std::optional<int> parseMinute(const QString& text)
    {
        static const QRegularExpression pattern(u"^([0-9]{1,2}):([0-9]{2})$"_s);
        const QRegularExpressionMatch match = pattern.match(text);
        if (!match.hasMatch())
            return std::nullopt;
        const int hour = match.capturedView(1).toInt();
        const int minute = match.capturedView(2).toInt();
        if (hour > 23 || minute > 59)
            return std::nullopt;
        return hour * 60 + minute;
    }

    CommandLineContext& m_context;
};

} // namespace

std::optional<Role> startingRole(const QList<Role>& roles, const CommandLineContext& context)
{
    const std::unique_ptr<QSettings> settings = context.openSettings ? context.openSettings() : nullptr;
    return restoredRole(roles, storedRoleId(settings.get()));
}

bool isCommandLineInvocation(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return false;
    // Options of the app itself (Qt's -platform, -style, ...) start with a dash; a bare word is a command,
    // so a mistyped one is reported instead of silently starting the app.
    static const QStringList flags{u"-h"_s, u"--help"_s, u"-v"_s, u"--version"_s};
    const QString& first = arguments.at(1);
    return flags.contains(first) || !first.startsWith(u'-');
}

int runCommandLine(const QStringList& arguments, CommandLineContext& context)
{
    Runner runner(context);
    if (arguments.size() < 2)
        return runner.usageError(u"no command given"_s);
    const QString command = arguments.at(1);
    if (command == u"-h" || command == u"--help" || command == u"help") {
        runner.printVerbatim(usage());
        return exitOk;
    }
    if (command == u"-v" || command == u"--version") {
        runner.printVerbatim(u"pellora "_s + QStringLiteral(PELLORA_VERSION));
        return exitOk;
    }
    // The parser wants a program name before the options.
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.first() + u' ' + command);
    if (command == u"status")
        return runner.status(rest);
    if (command == u"roles")
        return runner.roles(rest);
    if (command == u"validate")
        return runner.validate(rest);
    if (command == u"submit")
        return runSubmit(rest, context);
    return runner.usageError(u"unknown command '%1'"_s.arg(command));
}

} // namespace pellora
