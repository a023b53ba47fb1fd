#pragma once

#include <QByteArray>

#include <optional>

namespace pellora {

// The answer a PELLORA_ASSUME_* variable gives to a question about the desktop, for tests and for desktops
// that answer it wrongly: "1" is yes, "0" is no, and anything else leaves the desktop to be asked.
inline std::optional<bool> assumedAnswer(const char* variable)
{
    const QByteArray assumed = qgetenv(variable);
    if (assumed == "1")
        return true;
    if (assumed == "0")
        return false;
    return std::nullopt;
}

} // namespace pellora
