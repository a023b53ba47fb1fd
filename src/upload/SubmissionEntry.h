#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pellora {

/// One user-written day, as uploaded into the shared repository.
struct SubmissionEntry {
    QString nickname;   // exactly as typed, not trimmed
    QString email;      // may be empty
    QString occupation; // may be empty
    QString schedule;
    std::optional<QString> selectedRoleID;
    std::optional<QString> selectedRoleName;
    QString createdAtISO; // UTC, second precision, trailing Z: 2025-03-01T08:09:10Z
    QString timezone;
    QString deviceLocale;

    friend bool operator==(const SubmissionEntry&, const SubmissionEntry&) = default;
};

// Compact JSON, members in declaration order, absent optionals left out, "/" written "\/", UTF-8.
QByteArray encodeSubmissionEntry(const SubmissionEntry& entry);
// Reads the same form back: the seven required members must be present, the optional two may be missing.
std::optional<SubmissionEntry> decodeSubmissionEntry(const QByteArray& json);

// The nickname lower-cased, split at every character that is not a letter, mark or digit, joined with
// "-" and trimmed of "-" at both ends; "anonymous" when nothing is left.
QString submissionSlug(const QString& nickname);
// "submissions/" + slug + "-" + createdAtISO with ":" as "-" + ".json".
QString submissionPath(const SubmissionEntry& entry);

// The PUT body: {"message", "content" (Base64 of the entry's JSON), "committer": {"name", "email"}}.
QByteArray encodePayload(const SubmissionEntry& entry, const QString& fallbackEmail);

// The "message" of a GitHub error body, when the body is a JSON object carrying a text message.
std::optional<QString> decodeGitHubErrorMessage(const QByteArray& body);

} // namespace pellora
