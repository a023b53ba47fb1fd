#include "SubmissionEntry.h"

#include "model/JsonWriter.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QTimeZone>

namespace pellora {

using namespace Qt::StringLiterals;

namespace {

// Uploaded documents write "/" as "\/".
constexpr bool escapeSlash = true;

// What a letter-or-digit test means for the slug: Unicode letters, marks and numbers, so CJK and accented
// names survive while spaces, punctuation and symbols (emoji included) split.
bool keptInSlug(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

} // namespace

QByteArray encodeSubmissionEntry(const SubmissionEntry& entry)
{
    JsonObjectWriter writer(escapeSlash);
    writer.add("nickname"_L1, entry.nickname)
        .add("email"_L1, entry.email)
        .add("occupation"_L1, entry.occupation)
        .add("schedule"_L1, entry.schedule);
    // Absent optionals are left out, never written as null.
    if (entry.selectedRoleID)
        writer.add("selectedRoleID"_L1, *entry.selectedRoleID);
    if (entry.selectedRoleName)
        writer.add("selectedRoleName"_L1, *entry.selectedRoleName);
    writer.add("createdAtISO"_L1, entry.createdAtISO)
        .add("timezone"_L1, entry.timezone)
        .add("deviceLocale"_L1, entry.deviceLocale);
    return writer.toJson();
}

std::optional<SubmissionEntry> decodeSubmissionEntry(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    bool ok = true;
    const auto required = [&](QLatin1StringView key) {
        const QJsonValue value = object.value(key);
        ok = ok && value.isString();
        return value.toString();
    };
    // A missing member and null both mean "no role".
    const auto optional = [&](QLatin1StringView key) -> std::optional<QString> {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        ok = ok && value.isString();
        return value.toString();
    };

    SubmissionEntry entry{required("nickname"_L1),     required("email"_L1),          required("occupation"_L1),
                          required("schedule"_L1),     optional("selectedRoleID"_L1), optional("selectedRoleName"_L1),
                          required("createdAtISO"_L1), required("timezone"_L1),       required("deviceLocale"_L1)};
    if (!ok)
        return std::nullopt;
    return entry;
}

QString submissionSlug(const QString& nickname)
{
    // Replacing every separator by "-" is the same as splitting there and joining the pieces (empty ones
    // included) with "-": inner runs of separators stay runs of "-".
    QList<uint> codePoints = nickname.toLower().toUcs4();
    for (uint& c : codePoints) {
        if (!keptInSlug(c))
            c = '-';
    }
    const QString joined =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), codePoints.size());

    qsizetype begin = 0;
    qsizetype end = joined.size();
    while (begin < end && joined[begin] == u'-')
        ++begin;
    while (end > begin && joined[end - 1] == u'-')
        --end;
    return begin == end ? u"anonymous"_s : joined.sliced(begin, end - begin);
}

QString submissionPath(const SubmissionEntry& entry)
{
    // The app writes the stamp itself (digits, "-", ":", "T", "Z"), but an entry read back from elsewhere
    // could carry anything: only characters a stamp is made of are kept, so the file stays in submissions/.
    QString stamp = entry.createdAtISO;
    for (QChar& c : stamp) {
        const bool stampCharacter = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                                    c == u'+' || c == u'-' || c == u'.';
        if (!stampCharacter)
            c = u'-';
    }
    return u"submissions/"_s + submissionSlug(entry.nickname) + u'-' + stamp + u".json"_s;
}

Payload makePayload(const SubmissionEntry& entry, const QString& fallbackEmail)
{
    return Payload{u"Pellora (Quillmere) update for "_s + entry.nickname,
                   QString::fromLatin1(encodeSubmissionEntry(entry).toBase64()),
                   Committer{entry.nickname, entry.email.isEmpty() ? fallbackEmail : entry.email}};
}

QByteArray encodePayload(const Payload& payload)
{
    const QByteArray committer = JsonObjectWriter(escapeSlash)
                                     .add("name"_L1, payload.committer.name)
                                     .add("email"_L1, payload.committer.email)
                                     .toJson();
    return JsonObjectWriter(escapeSlash)
        .add("message"_L1, payload.message)
        .add("content"_L1, payload.content)
        .addRaw("committer"_L1, committer)
        .toJson();
}

QByteArray encodePayload(const SubmissionEntry& entry, const QString& fallbackEmail)
{
    return encodePayload(makePayload(entry, fallbackEmail));
}

std::optional<GitHubError> decodeGitHubError(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue message = document.object().value("message"_L1);
    if (!message.isString())
        return std::nullopt;
    return GitHubError{message.toString()};
}

std::optional<QString> decodeGitHubErrorMessage(const QByteArray& body)
{
    if (const std::optional<GitHubError> error = decodeGitHubError(body))
        return error->message;
    return std::nullopt;
}

SubmissionEntry newSubmissionEntry(const QString& nickname, const QString& email, const QString& occupation,
                                   const QString& schedule, const std::optional<Role>& role)
{
    SubmissionEntry entry;
    entry.nickname = nickname;
    entry.email = email;
    entry.occupation = occupation;
    entry.schedule = schedule;
    if (role) {
        entry.selectedRoleID = role->id;
        entry.selectedRoleName = role->name;
    }
    entry.createdAtISO = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    entry.timezone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    entry.deviceLocale = QLocale::system().name();
    return entry;
}

} // namespace pellora
