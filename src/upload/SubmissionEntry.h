#pragma once

#include "model/Role.h"

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

/// The author recorded with the commit.
struct Committer {
    QString name;
    QString email;

    friend bool operator==(const Committer&, const Committer&) = default;
};

/// The body of the PUT request that creates the submission file.
struct Payload {
    QString message; // the commit message
    QString content; // Base64 of the entry's JSON
    Committer committer;

    friend bool operator==(const Payload&, const Payload&) = default;
};

/// The part of a rejected request's body that is shown to the user.
struct GitHubError {
    QString message;
};

// The entry the upload form and `pellora submit` send: the texts exactly as given, the role's id and name
// (never its display name; both absent without a role) and the moment, time zone and locale of the call.
SubmissionEntry newSubmissionEntry(const QString& nickname, const QString& email, const QString& occupation,
                                   const QString& schedule, const std::optional<Role>& role);

// Compact JSON, members in declaration order, absent optionals left out, "/" written "\/", UTF-8.
QByteArray encodeSubmissionEntry(const SubmissionEntry& entry);
// Reads the same form back: the seven required members must be present, the optional two may be missing.
std::optional<SubmissionEntry> decodeSubmissionEntry(const QByteArray& json);

// The nickname lower-cased, split at every character that is not a letter, mark or number, joined with
// "-" and trimmed of "-" at both ends; "anonymous" when nothing is left. It never holds "/" or ".", so the
// file it names stays inside submissions/.
QString submissionSlug(const QString& nickname);
// "submissions/" + slug + "-" + createdAtISO with ":" (and anything else that is not a letter, digit, "+",
// "-" or ".") as "-" + ".json".
QString submissionPath(const SubmissionEntry& entry);

// The commit message, the entry's JSON in Base64, and the nickname with the entry's e-mail (or the fallback
// when the entry has none) as committer.
Payload makePayload(const SubmissionEntry& entry, const QString& fallbackEmail);
// {"message","content","committer":{"name","email"}} in that order, written like the entry.
QByteArray encodePayload(const Payload& payload);
// The PUT body: {"message", "content" (Base64 of the entry's JSON), "committer": {"name", "email"}}.
QByteArray encodePayload(const SubmissionEntry& entry, const QString& fallbackEmail);

// A GitHub error body: a JSON object carrying a text "message"; other members are ignored.
std::optional<GitHubError> decodeGitHubError(const QByteArray& body);
// The "message" of a GitHub error body, when the body is a JSON object carrying a text message.
std::optional<QString> decodeGitHubErrorMessage(const QByteArray& body);

} // namespace pellora
