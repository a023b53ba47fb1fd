#include "model/TimelineSnapshot.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// "08:00-10:00 A" becomes an event with that time and the label as its activity.
Role role(const QStringList& entries)
{
    Role result{u"r"_s, u"R"_s, std::nullopt, StylePack::classicKaomoji, u""_s, {}};
    for (const QString& entry : entries) {
        const qsizetype space = entry.lastIndexOf(u' ');
        result.events.append(RoleEvent{entry.left(space), entry.mid(space + 1), u""_s, u""_s, std::nullopt, u""_s});
    }
    return result;
}

int at(const char* clock)
{
    const QTime time = QTime::fromString(QString::fromLatin1(clock), u"HH:mm"_s);
    return time.hour() * 60 + time.minute();
}

QString labels(const QList<RoleEvent>& events)
{
    QStringList result;
    for (const RoleEvent& event : events)
        result.append(event.event);
    return result.join(u',');
}

} // namespace

class TestTimeline : public QObject {
    Q_OBJECT

private slots:
    void parseClockTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("minutes");

        QTest::newRow("range") << u"07:30-09:00"_s << QList<int>{450, 540};
        QTest::newRow("one-digit hour") << u"9:05"_s << QList<int>{545};
        QTest::newRow("one-digit minute") << u"9:5"_s << QList<int>{};
        QTest::newRow("no range check") << u"25:70 24:00"_s << QList<int>{1570, 1440};
        QTest::newRow("anywhere in text") << u"从8:00到晚上10:30为止"_s << QList<int>{480, 630};
        QTest::newRow("three digits before colon") << u"123:45"_s << QList<int>{23 * 60 + 45};
        QTest::newRow("three times") << u"08:00-09:00-10:00"_s << QList<int>{480, 540, 600};
        QTest::newRow("non-overlapping") << u"12:345"_s << QList<int>{12 * 60 + 34};
        QTest::newRow("other-script digits read as 0") << u"\u0661\u0662:30-08:\u0663\u0664"_s << QList<int>{30, 480};
        QTest::newRow("fullwidth digits") << u"\uFF10\uFF18:00"_s << QList<int>{0};
        QTest::newRow("nothing") << u"noon"_s << QList<int>{};
        QTest::newRow("empty") << QString() << QList<int>{};
    }

    void parseClockTimes()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, minutes);
        QCOMPARE(pellora::parseClockTimes(text), minutes);
    }

    void snapshot_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("upcoming");

        const QStringList ab{u"08:00-10:00 A"_s, u"10:00-12:00 B"_s};
        QTest::newRow("inside, wrap to tomorrow") << ab << at("09:15") << u"A"_s << u"B,A,B"_s;
        QTest::newRow("end is exclusive") << ab << at("10:00") << u"B"_s << u"A,B"_s;
        QTest::newRow("start is inclusive") << ab << at("08:00") << u"A"_s << u"B,A,B"_s;

        const QStringList overlap{u"08:00-12:00 A"_s, u"09:00-10:00 B"_s};
        QTest::newRow("overlap, inner wins") << overlap << at("09:30") << u"B"_s << u"A,B"_s;
        QTest::newRow("overlap, outer") << overlap << at("11:00") << u"A"_s << u"A,B"_s;

        QTest::newRow("equal starts, later in file wins")
            << QStringList{u"09:00-10:00 A"_s, u"09:00-11:00 B"_s} << at("09:30") << u"B"_s << u"A,B"_s;
        QTest::newRow("equal starts keep file order")
            << QStringList{u"09:00-11:00 B"_s, u"09:00-10:00 A"_s} << at("10:30") << u"B"_s << u"B,A"_s;

        const QStringList abc{u"07:00-08:00 A"_s, u"12:00-13:00 B"_s, u"22:00-23:00 C"_s};
        QTest::newRow("before first") << abc << at("05:00") << u"C"_s << u"A,B,C"_s;
        QTest::newRow("in a gap") << abc << at("10:00") << u"C"_s << u"B,C,A"_s;
        QTest::newRow("after last") << abc << at("23:30") << u"C"_s << u"A,B,C"_s;
        QTest::newRow("file order irrelevant")
            << QStringList{u"22:00-23:00 C"_s, u"07:00-08:00 A"_s, u"12:00-13:00 B"_s} << at("10:00") << u"C"_s
            << u"B,C,A"_s;

        QTest::newRow("two future events")
            << QStringList{u"08:00-09:00 A"_s, u"10:00-11:00 B"_s} << at("07:00") << u"B"_s << u"A,B,A"_s;
        QTest::newRow("single event") << QStringList{u"08:00-09:00 A"_s} << at("08:30") << u"A"_s << u"A"_s;
        QTest::newRow("backwards range") << QStringList{u"22:00-06:00 A"_s, u"23:00-23:30 B"_s} << at("12:00") << u"A"_s
                                         << u"B,A,B"_s;
        QTest::newRow("backwards range, night")
            << QStringList{u"22:00-06:00 A"_s, u"23:00-23:30 B"_s} << at("03:00") << u"B"_s << u"A,B,A"_s;
        QTest::newRow("third time ignored")
            << QStringList{u"08:00-09:00-10:00 A"_s, u"09:15-09:20 B"_s} << at("09:30") << u"B"_s << u"A,B"_s;
        QTest::newRow("unreadable times skipped")
            << QStringList{u"12:00 X"_s, u"noon Y"_s, u"08:00-09:00 A"_s} << at("12:30") << u"A"_s << u"A"_s;
        QTest::newRow("empty range never current")
            << QStringList{u"08:00-08:00 E"_s, u"07:00-09:00 A"_s} << at("08:00") << u"A"_s << u"A,E"_s;
        QTest::newRow("empty range upcoming before")
            << QStringList{u"08:00-08:00 E"_s, u"07:00-09:00 A"_s} << at("07:30") << u"A"_s << u"E,A,E"_s;
        QTest::newRow("24:00 includes 23:59")
            << QStringList{u"00:00-12:00 A"_s, u"12:00-24:00 B"_s} << at("23:59") << u"B"_s << u"A,B"_s;
        QTest::newRow("beyond the day always upcoming")
            << QStringList{u"24:00-25:00 L"_s, u"00:00-24:00 D"_s} << at("23:59") << u"D"_s << u"L,D,L"_s;
        QTest::newRow("more than three future, by start")
            << QStringList{u"20:00-21:00 E"_s, u"10:00-11:00 B"_s, u"08:00-09:00 A"_s, u"13:00-14:00 C"_s,
                           u"15:00-16:00 D"_s}
            << at("07:00") << u"E"_s << u"A,B,C"_s;
    }

    void snapshot()
    {
        QFETCH(QStringList, events);
        QFETCH(int, minute);
        QFETCH(QString, now);
        QFETCH(QString, upcoming);

        const Role input = role(events);
        const TimelineSnapshot result = makeSnapshot(input, minute);
        QVERIFY(result.now.has_value());
        QCOMPARE(result.now->event, now);
        QCOMPARE(labels(result.upcoming), upcoming);
        QCOMPARE(result.role, input);
        QCOMPARE(result.role.events, input.events); // the role's own order is untouched
    }

    void noUsableEvent_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::newRow("no events") << QStringList{};
        QTest::newRow("single times only") << QStringList{u"12:00 A"_s, u"later B"_s};
    }

    void noUsableEvent()
    {
        QFETCH(QStringList, events);
        const TimelineSnapshot result = makeSnapshot(role(events), 600);
        QVERIFY(!result.now.has_value());
        QVERIFY(result.upcoming.isEmpty());
    }

    // Runs with TZ=Asia/Kolkata (UTC+05:30): the minute is local wall-clock time.
    void minuteOfDayIsLocal_data()
    {
        QTest::addColumn<QDateTime>("instant");
        QTest::addColumn<int>("minute");
        QTest::newRow("utc morning") << QDateTime(QDate(2026, 3, 1), QTime(3, 0), Qt::UTC) << 8 * 60 + 30;
        QTest::newRow("crosses midnight") << QDateTime(QDate(2026, 3, 1), QTime(20, 0), Qt::UTC) << 60 + 30;
        QTest::newRow("seconds dropped") << QDateTime(QDate(2026, 3, 1), QTime(18, 29, 59), Qt::UTC) << 23 * 60 + 59;
        QTest::newRow("local midnight") << QDateTime(QDate(2026, 3, 1), QTime(0, 0)) << 0;
    }

    void minuteOfDayIsLocal()
    {
        QFETCH(QDateTime, instant);
        QFETCH(int, minute);
        QCOMPARE(minuteOfDay(instant), minute);
    }
};

QTEST_GUILESS_MAIN(TestTimeline)
#include "tst_timeline.moc"
