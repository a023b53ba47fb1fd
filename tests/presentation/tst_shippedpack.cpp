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
    void fillsEveryDayAndShowsEveryStyleAndMood()
    {
        QFile file(u":/roles.json"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const RolePackDecodeResult result = decodeRolePack(file.readAll());
        QVERIFY2(result.ok(), qPrintable(result.error));
        QSet<QString> ids;
        QSet<StylePack> packs;
        QSet<MoodCategory> categories;
        for (const Role& role : result.payload.roles) {
            ids.insert(role.id);
            packs.insert(role.stylePack);
            // Events follow one another without gap or overlap from midnight to midnight.
            int expectedStart = 0;
            for (const RoleEvent& event : role.events) {
                const QList<int> times = parseClockTimes(event.time);
                QVERIFY2(times.size() == 2 && times[0] == expectedStart && times[1] > times[0],
                         qPrintable(role.id + u' ' + event.time));
                expectedStart = times[1];
                categories.insert(moodCategory(event));
            }
            QVERIFY2(expectedStart == 24 * 60, qPrintable(role.id));
        }
        QVERIFY(result.payload.roles.size() >= 8);
        QCOMPARE(ids.size(), result.payload.roles.size());
        QCOMPARE(packs.size(), 3);
        QCOMPARE(categories.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestShippedPack)
#include "tst_shippedpack.moc"
