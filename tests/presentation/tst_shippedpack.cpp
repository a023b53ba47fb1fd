#include "model/RolePackCodec.h"
#include "model/TimelineSnapshot.h"
#include "presentation/StatusRendering.h"

#include <QFile>
#include <QSet>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

// The pack that ships with the app: complete days, and enough variety to show every face and palette.
class TestShippedPack : public QObject {
    Q_OBJECT

private slots:
    void fillsEveryDayAndShowsEveryStyleMoodAndEnergy()
    {
        QFile file(u":/roles.json"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const RolePackDecodeResult result = decodeRolePack(file.readAll());
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QList<Role>& roles = result.payload.roles;
        QVERIFY(roles.size() >= 8);

        QSet<QString> ids;
        QSet<StylePack> packs;
        QSet<MoodCategory> categories;
        QSet<qint64> energies;
        int withoutEnergy = 0;
        int withDisplayName = 0;
        for (const Role& role : roles) {
            QVERIFY2(!ids.contains(role.id), qPrintable(role.id));
            ids.insert(role.id);
            packs.insert(role.stylePack);
            withDisplayName += role.displayName.has_value();
            QVERIFY2(role.events.size() >= 10 && role.events.size() <= 16, qPrintable(role.id));
            // Events follow one another without gap or overlap from midnight to midnight.
            int expectedStart = 0;
            for (const RoleEvent& event : role.events) {
                const QList<int> times = parseClockTimes(event.time);
                QVERIFY2(times.size() == 2 && times[0] == expectedStart && times[1] > times[0],
                         qPrintable(role.id + u' ' + event.time));
                expectedStart = times[1];
                categories.insert(moodCategory(event));
                if (event.energy)
                    energies.insert(*event.energy);
                else
                    ++withoutEnergy;
            }
            QVERIFY2(expectedStart == 24 * 60, qPrintable(role.id));
        }
        QCOMPARE(packs.size(), 3);
        QCOMPARE(categories.size(), 5);
        QCOMPARE(energies, (QSet<qint64>{1, 2, 3, 4, 5}));
        QVERIFY(withoutEnergy > 0);
        QVERIFY(withDisplayName > 0 && withDisplayName < roles.size());
    }
};

QTEST_GUILESS_MAIN(TestShippedPack)
#include "tst_shippedpack.moc"
