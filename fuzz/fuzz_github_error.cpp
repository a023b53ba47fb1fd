// Arbitrary bytes as a rejected request's body, with a status from the input: reading the message never
// fails, both readers agree, and the verdict follows the status.
#include "FuzzCheck.h"

#include "upload/GitHubUploader.h"
#include "upload/SubmissionEntry.h"

#include <cstring>

using namespace pellora;
using pellora::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Input layout: a 16-bit signed status, then the body.
    qint16 status = 0;
    if (size >= sizeof status) {
        std::memcpy(&status, data, sizeof status);
        data += sizeof status;
        size -= sizeof status;
    }
    const QByteArray body = fuzz::bytesOf(data, size);

    const std::optional<GitHubError> error = decodeGitHubError(body);
    const std::optional<QString> message = decodeGitHubErrorMessage(body);
    require(error.has_value() == message.has_value());
    require(!error || error->message == *message);

    const QString path = QStringLiteral("submissions/someone-2025-03-01T08-09-10Z.json");
    const AttemptOutcome outcome = judgeResponse(status, body, path);
    if (status >= 200 && status <= 299) {
        require(outcome.kind == AttemptOutcome::Kind::success && outcome.text.endsWith(path));
        return 0;
    }
    require(outcome.kind == AttemptOutcome::Kind::rejected);
    require(outcome.error.kind == UploadError::Kind::github && outcome.error.statusCode == status);
    require(outcome.error.message == message.value_or(QStringLiteral("GitHub %1").arg(status)));
    require(!outcome.error.description().isEmpty());
    return 0;
}
