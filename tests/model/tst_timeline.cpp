#include "model/TimelineSnapshot.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// "08:00-10:00 A,10:00-12:00 B": events with those times and the labels as their activities.
Role role(const QString& entries)
{
    Role result{u"r"_s, u"R"_s, std::nullopt, StylePack::classicKaomoji, u""_s, {}};
    for (const QString& entry : entries.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype space = entry.lastIndexOf(u' ');
        result.events.append(RoleEvent{entry.left(space), entry.mid(space + 1), u""_s, u""_s, std::nullopt, u""_s});
    }
    return result;
}

} // namespace

class TestTimeline : public QObject {
    Q_OBJECT

private slots:
    // Times anywhere in a text; a one-digit minute is no time.
    void parseClockTimes()
    {
        QCOMPARE(pellora::parseClockTimes(u"从8:00到晚上10:30为止"), (QList<int>{480, 630}));
        QCOMPARE(pellora::parseClockTimes(u"9:5"), QList<int>());
    }

    void snapshot_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("upcoming");

        const QString ab = u"08:00-10:00 A,10:00-12:00 B"_s;
        QTest::newRow("inside, wrap to tomorrow") << ab << u"09:15"_s << u"A"_s << u"B,A,B"_s;
        QTest::newRow("end is exclusive") << ab << u"10:00"_s << u"B"_s << u"A,B"_s;
        const QString overlap = u"08:00-12:00 A,09:00-10:00 B"_s;
        QTest::newRow("overlap, inner wins") << overlap << u"09:30"_s << u"B"_s << u"A,B"_s;
        QTest::newRow("equal starts, later in file wins")
            << u"09:00-10:00 A,09:00-11:00 B"_s << u"09:30"_s << u"B"_s << u"A,B"_s;
        QTest::newRow("equal starts keep file order")
            << u"09:00-11:00 B,09:00-10:00 A"_s << u"10:30"_s << u"B"_s << u"B,A"_s;
        QTest::newRow("file order irrelevant")
            << u"22:00-23:00 C,07:00-08:00 A,12:00-13:00 B"_s << u"10:00"_s << u"C"_s << u"B,C,A"_s;
        QTest::newRow("backwards range, night")
            << u"22:00-06:00 A,23:00-23:30 B"_s << u"03:00"_s << u"B"_s << u"A,B,A"_s;
        QTest::newRow("unreadable times skipped")
            << u"12:00 X,noon Y,08:00-09:00 A"_s << u"12:30"_s << u"A"_s << u"A"_s;
        const QString empty = u"08:00-08:00 E,07:00-09:00 A"_s;
        QTest::newRow("empty range never current") << empty << u"08:00"_s << u"A"_s << u"A,E"_s;
        QTest::newRow("24:00 includes 23:59") << u"00:00-12:00 A,12:00-24:00 B"_s << u"23:59"_s << u"B"_s << u"A,B"_s;
        QTest::newRow("beyond the day always upcoming")
            << u"24:00-25:00 L,00:00-24:00 D"_s << u"23:59"_s << u"D"_s << u"L,D,L"_s;
        QTest::newRow("more than three future, by start")
            << u"20:00-21:00 E,10:00-11:00 B,08:00-09:00 A,13:00-14:00 C,15:00-16:00 D"_s << u"07:00"_s << u"E"_s
            << u"A,B,C"_s;
    }

    void snapshot()
    {
        QFETCH(QString, events);
        QFETCH(QString, at);
        QFETCH(QString, now);
        QFETCH(QString, upcoming);

        const Role input = role(events);
        const QTime time = QTime::fromString(at, u"HH:mm"_s);
        const TimelineSnapshot result = makeSnapshot(input, time.hour() * 60 + time.minute());
        QCOMPARE(result.now.value_or(RoleEvent{}).event, now);
        QStringList labels;
        for (const RoleEvent& event : result.upcoming)
            labels.append(event.event);
        QCOMPARE(labels.join(u','), upcoming);
        QCOMPARE(result.role, input); // the role's own order is untouched
    }

    // Runs with TZ=Asia/Kolkata (UTC+05:30): the minute is local wall-clock time, across midnight too.
    void minuteOfDayIsLocal()
    {
        QCOMPARE(minuteOfDay(QDateTime(QDate(2026, 3, 1), QTime(3, 0), Qt::UTC)), 8 * 60 + 30);
        QCOMPARE(minuteOfDay(QDateTime(QDate(2026, 3, 1), QTime(20, 0), Qt::UTC)), 60 + 30);
    }
};

QTEST_GUILESS_MAIN(TestTimeline)
#include "tst_timeline.moc"
