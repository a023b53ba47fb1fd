// Arbitrary fields as a submission: the entry's JSON reads back as the same entry, the file name stays
// inside submissions/, and the request body is valid JSON carrying the entry.
#include "FuzzCheck.h"

#include "upload/SubmissionEntry.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

#include <cstring>

using namespace pellora;
using pellora::fuzz::require;

namespace {

// Input layout: one flag byte (bit 0: a role ID, bit 1: a role name), then the fields separated by 0x1F in
// the order nickname, email, occupation, schedule, role ID, role name, createdAtISO, timezone, locale,
// fallback e-mail. Missing fields are empty.
constexpr char separator = '\x1f';

// The stamp the app writes: a UTC instant between 1970 and 9999 at second precision.
QString isoStamp(const QByteArray& seed)
{
    quint64 bits = 0;
    std::memcpy(&bits, seed.constData(), size_t(std::min<qsizetype>(seed.size(), sizeof bits)));
    constexpr qint64 lastSecond = 253402300799; // 9999-12-31T23:59:59Z
    const qint64 seconds = qint64(bits % quint64(lastSecond + 1));
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    QList<QByteArray> fields = fuzz::bytesOf(data + 1, size - 1).split(separator);
    fields.resize(10);
    const auto text = [&fields](int i) {
        return QString::fromUtf8(fields[i]);
    };

    SubmissionEntry entry{text(0), text(1), text(2), text(3), std::nullopt, std::nullopt, text(6), text(7), text(8)};
    if (flags & 1)
        entry.selectedRoleID = text(4);
    if (flags & 2)
        entry.selectedRoleName = text(5);

    const QByteArray json = encodeSubmissionEntry(entry);
    require(decodeSubmissionEntry(json) == entry);

    const QString slug = submissionSlug(entry.nickname);
    require(!slug.isEmpty() && !slug.contains(u'/') && !slug.contains(u'.'));
    require(!slug.startsWith(u'-') && !slug.endsWith(u'-'));

    // Whatever the nickname and the stamp hold, the file stays directly inside the folder.
    const QString anyPath = submissionPath(entry);
    require(anyPath.startsWith(u"submissions/") && anyPath.endsWith(u".json") && anyPath.count(u'/') == 1);
    require(!anyPath.contains(u'\\') && !anyPath.contains(u'?') && !anyPath.contains(u'#'));
    // With the stamp the app writes, the name has no dot run either.
    SubmissionEntry stamped = entry;
    stamped.createdAtISO = isoStamp(fields[6]);
    const QString path = submissionPath(stamped);
    require(path.startsWith(u"submissions/") && path.endsWith(u".json"));
    require(path.count(u'/') == 1 && !path.contains(u".."));

    QJsonParseError error;
    const QJsonDocument body = QJsonDocument::fromJson(encodePayload(entry, text(9)), &error);
    require(error.error == QJsonParseError::NoError && body.isObject());
    const QByteArray content = body.object().value(u"content").toString().toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(content, QByteArray::AbortOnBase64DecodingErrors);
    require(bool(decoded) && decoded.decoded == json);
    return 0;
}
