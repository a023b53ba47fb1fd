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

    RoleLibraryPayload m_pack;

private slots:
    void initTestCase()
    {
        QFile file(u":/roles.json"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const RolePackDecodeResult result = decodeRolePack(file.readAll());
        QVERIFY2(result.ok(), qPrintable(result.error));
        m_pack = result.payload;
        QVERIFY(m_pack.roles.size() >= 8);
    }

    void everyRoleFillsTheWholeDay()
    {
        QSet<QString> ids;
        for (const Role& role : m_pack.roles) {
            QVERIFY2(!ids.contains(role.id), qPrintable(role.id));
            ids.insert(role.id);
            QVERIFY2(role.events.size() >= 10 && role.events.size() <= 16, qPrintable(role.id));
            int expectedStart = 0;
            for (const RoleEvent& event : role.events) {
                const QList<int> times = parseClockTimes(event.time);
                QVERIFY2(times.size() == 2, qPrintable(role.id + u' ' + event.time));
                QVERIFY2(times[0] == expectedStart && times[1] > times[0], qPrintable(role.id + u' ' + event.time));
                expectedStart = times[1];
            }
            QVERIFY2(expectedStart == 24 * 60, qPrintable(role.id));
            // Every minute of the day has a current event that contains it.
            for (int minute = 0; minute < 24 * 60; minute += 7) {
                const TimelineSnapshot snapshot = makeSnapshot(role, minute);
                const QList<int> times = parseClockTimes(snapshot.now->time);
                QVERIFY2(times[0] <= minute && minute < times[1], qPrintable(role.id));
                QCOMPARE(snapshot.upcoming.size(), 3);
            }
        }
    }

    void coversEveryStyleMoodAndEnergy()
    {
        QSet<StylePack> packs;
        QSet<MoodCategory> categories;
        QSet<qint64> energies;
        int withoutEnergy = 0;
        int withDisplayName = 0;
        for (const Role& role : m_pack.roles) {
            packs.insert(role.stylePack);
            withDisplayName += role.displayName.has_value();
            for (const RoleEvent& event : role.events) {
                categories.insert(moodCategory(event));
                if (event.energy)
                    energies.insert(*event.energy);
                else
                    ++withoutEnergy;
            }
        }
        QCOMPARE(packs.size(), 3);
        QCOMPARE(categories.size(), 5);
        QCOMPARE(energies, (QSet<qint64>{1, 2, 3, 4, 5}));
        QVERIFY(withoutEnergy > 0);
        QVERIFY(withDisplayName > 0 && withDisplayName < m_pack.roles.size());
    }
};

QTEST_GUILESS_MAIN(TestShippedPack)
#include "tst_shippedpack.moc"
