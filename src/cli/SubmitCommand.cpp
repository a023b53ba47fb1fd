#include "SubmitCommand.h"

#include "library/PackFile.h"
#include "presentation/ControlCharacters.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace pellora {
namespace {

using namespace Qt::StringLiterals;

struct ScheduleRead {
    QString text;
    QString error; // empty when the schedule can be sent
};

// Reads at most one byte beyond the limit, so a device without end (a pipe, /dev/zero) cannot exhaust memory.
ScheduleRead readSchedule(QIODevice& device, const QString& name)
{
    QByteArray bytes;
    char buffer[64 * 1024];
    while (bytes.size() <= maxScheduleBytes) {
        const qint64 count = device.read(buffer, std::min<qint64>(sizeof buffer, maxScheduleBytes + 1 - bytes.size()));
        if (count < 0)
            return {{}, u"cannot read %1: %2"_s.arg(name, device.errorString())};
        if (count == 0)
            break;
        bytes.append(buffer, count);
    }
    if (bytes.size() > maxScheduleBytes)
        return {{}, u"the schedule in %1 is larger than 1 MiB"_s.arg(name)};
    if (bytes.isEmpty())
        return {{}, u"the schedule in %1 is empty"_s.arg(name)};
    // Stateless: a sequence cut off at the end is an error too, not a wait for more input.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {{}, u"the schedule in %1 is not UTF-8 text"_s.arg(name)};
    return {text, {}};
}

ScheduleRead readScheduleFile(const QString& path, QIODevice* input)
{
    if (path == u"-") {
        const QString name = u"standard input"_s;
        if (input)
            return readSchedule(*input, name);
        QFile standardInput;
        if (!standardInput.open(stdin, QIODevice::ReadOnly))
            return {{}, u"cannot read %1: %2"_s.arg(name, standardInput.errorString())};
        return readSchedule(standardInput, name);
    }
    QFile file;
    if (const QString error = openRegularFile(path, file); !error.isEmpty())
        return {{}, u"cannot read %1: %2"_s.arg(path, error)};
    return readSchedule(file, path);
}

// The role the app would start with: the stored choice within the built-in pack, else its first role.
// A pack that cannot be read leaves no role, as it leaves the app's library without one.
std::optional<Role> chosenRole(const CommandLineContext& context)
{
    const RolePackLoad pack = loadRolePack(context.packPath);
    return pack.failure ? std::nullopt : startingRole(pack.roles, context);
}

bool isFinal(const UploadState& state)
{
    return state.kind == UploadState::Kind::success || state.kind == UploadState::Kind::failure;
}

int usageError(CommandLineContext& context, const QString& message)
{
    context.err << "pellora: " << terminalText(message) << "\nTry 'pellora --help'.\n";
    context.err.flush();
    return exitBadArguments;
}

int error(CommandLineContext& context, int code, const QString& message)
{
    // A server's message stays on this one line, whatever it holds.
    context.err << "pellora: " << terminalText(message) << '\n';
    context.err.flush();
    return code;
}

} // namespace

int runSubmit(const QStringList& arguments, CommandLineContext& context, UploaderConfig config,
              const std::function<QStringList()>& tokens, QIODevice* input)
{
    QCommandLineParser parser;
    const QCommandLineOption nickname(u"nickname"_s, {}, u"NAME"_s);
    const QCommandLineOption email(u"email"_s, {}, u"EMAIL"_s);
    const QCommandLineOption occupation(u"occupation"_s, {}, u"OCCUPATION"_s);
    const QCommandLineOption scheduleFile(u"schedule-file"_s, {}, u"FILE"_s);
    parser.addOptions({nickname, email, occupation, scheduleFile});
    if (!parser.parse(arguments))
        return usageError(context, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(context, u"unexpected argument '%1'"_s.arg(parser.positionalArguments().first()));
    if (!parser.isSet(nickname))
        return usageError(context, u"submit needs --nickname"_s);
    // Like the form's button: an empty nickname cannot be sent, one of spaces can.
    if (parser.value(nickname).isEmpty())
        return usageError(context, u"--nickname must not be empty"_s);
    if (!parser.isSet(scheduleFile))
        return usageError(context, u"submit needs --schedule-file (a file, or - for standard input)"_s);

    const ScheduleRead schedule = readScheduleFile(parser.value(scheduleFile), input);
    if (!schedule.error.isEmpty())
        return error(context, exitBadArguments, schedule.error);

    const SubmissionEntry entry = newSubmissionEntry(parser.value(nickname), parser.value(email),
                                                     parser.value(occupation), schedule.text, chosenRole(context));
    GitHubUploader uploader(std::move(config));
    QEventLoop loop;
    QObject::connect(&uploader, &GitHubUploader::stateChanged, &loop, [&loop](const UploadState& state) {
        if (isFinal(state))
            loop.quit();
    });
    uploader.upload(entry, tokens ? tokens() : QStringList());
    // Without a usable token the outcome is already there and no signal will come.
    if (!isFinal(uploader.state()))
        loop.exec();

    const UploadState& outcome = uploader.state();
    if (outcome.kind != UploadState::Kind::success)
        return error(context, exitUploadFailed, outcome.text);
    context.out << terminalText(outcome.text) << '\n';
    context.out.flush();
    return exitOk;
}

} // namespace pellora
