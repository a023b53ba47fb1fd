#pragma once

#include "CommandLine.h"
#include "model/Role.h"
#include "upload/GitHubUploader.h"
#include "upload/SubmissionEntry.h"

#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

namespace pellora {

// The largest schedule file `submit` accepts.
inline constexpr qint64 maxScheduleBytes = 1024 * 1024;
// Exit status of `submit` when the upload ended in failure.
inline constexpr int exitUploadFailed = 1;

// Runs `pellora submit --nickname N [--email E] [--occupation O] --schedule-file F|-` (arguments start with
// the program name, as for the other commands): uploads one entry with the role stored as the user's choice
// and waits for the outcome. Prints the success text on standard output and exits 0; an upload failure goes
// to standard error and exits 1; bad arguments exit 2. `input` stands in for standard input when not null.
int runSubmit(const QStringList& arguments, CommandLineContext& context,
              UploaderConfig config = builtInUploaderConfig(),
              const std::function<QStringList()>& tokens = builtInTokens, QIODevice* input = nullptr);

} // namespace pellora
