// Decoding a large role pack and computing every role's snapshot, against the bare JSON parse of the
// same bytes. Prints medians and the two ratios measured in the same run, so machine noise cancels out.

#include "model/RolePackCodec.h"
#include "model/TimelineSnapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace pellora;

namespace {

QByteArray generatePack(int roles, int eventsPerRole)
{
    static const char16_t* const moods[] = {u"睡得很沉", u"平静", u"紧张", u"开心", u"专注"};
    static const char16_t* const activities[] = {u"睡觉", u"吃早饭", u"写周报", u"部门会议", u"散步回家"};
    RoleLibraryPayload payload;
    for (int r = 0; r < roles; ++r) {
        Role role{QStringLiteral("role-%1").arg(r),
                  QStringLiteral("角色%1").arg(r),
                  std::nullopt,
                  allStylePacks[size_t(r % 3)],
                  QStringLiteral("第 %1 位角色的一天").arg(r),
                  {}};
        if (r % 2)
            role.displayName = QStringLiteral("称号%1").arg(r);
        const int step = 24 * 60 / eventsPerRole;
        for (int e = 0; e < eventsPerRole; ++e) {
            const int start = e * step;
            const int end = e + 1 == eventsPerRole ? 24 * 60 : start + step;
            const QString time = QStringLiteral("%1:%2-%3:%4")
                                     .arg(start / 60, 2, 10, QChar(u'0'))
                                     .arg(start % 60, 2, 10, QChar(u'0'))
                                     .arg(end / 60, 2, 10, QChar(u'0'))
                                     .arg(end % 60, 2, 10, QChar(u'0'));
            std::optional<qint64> energy;
            if ((r + e) % 7)
                energy = 1 + (r + e) % 5;
            role.events.append(RoleEvent{time, QString::fromUtf16(activities[(r + e) % 5]),
                                         QString::fromUtf16(moods[(r * 3 + e) % 5]), QStringLiteral("地点%1").arg(e),
                                         energy, QStringLiteral("独处")});
        }
        payload.roles.append(role);
    }
    return encodeRolePack(payload);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

template <typename F> double timeMs(F&& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, atoi(argv[1])) : 21;
    const QByteArray bytes = generatePack(1000, 24);

    const RolePackDecodeResult check = decodeRolePack(bytes);
    if (!check.ok() || check.payload.roles.size() != 1000) {
        std::fprintf(stderr, "generated pack does not decode: %s\n", qPrintable(check.error));
        return 1;
    }

    std::vector<double> parse, decode, snapshots;
    size_t sink = 0;
    for (int round = 0; round < rounds + 2; ++round) {
        // Interleaved, so a burst of load on the machine hits all three alike. The first two warm up.
        const double p = timeMs([&] { sink += QJsonDocument::fromJson(bytes).object().size(); });
        RolePackDecodeResult decoded;
        const double d = timeMs([&] { decoded = decodeRolePack(bytes); });
        const double s = timeMs([&] {
            for (const Role& role : decoded.payload.roles)
                sink += size_t(makeSnapshot(role, (round * 97) % 1440).upcoming.size());
        });
        if (round >= 2) {
            parse.push_back(p);
            decode.push_back(d);
            snapshots.push_back(s);
        }
    }

    const double mp = median(parse), md = median(decode), ms = median(snapshots);
    std::printf("pack: 1000 roles x 24 events, %.1f KiB, %d rounds (medians)\n", double(bytes.size()) / 1024, rounds);
    std::printf("QJsonDocument::fromJson   %8.2f ms\n", mp);
    std::printf("decodeRolePack            %8.2f ms\n", md);
    std::printf("all 1000 snapshots        %8.2f ms\n", ms);
    std::printf("ratio decode / fromJson   %8.2f  (aim <= 2.0)\n", md / mp);
    std::printf("ratio snapshots / decode  %8.2f\n", ms / md);
    return sink == 0 ? 1 : 0;
}
