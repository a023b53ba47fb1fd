#include "model/RolePackCodec.h"
#include "model/TimelineSnapshot.h"
#include "presentation/ControlCharacters.h"
#include "presentation/DisplayText.h"
#include "presentation/EnergyMeter.h"
#include "presentation/GraphemeClusters.h"
#include "presentation/StatusRendering.h"

#include <QFile>
#include <QSet>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

RoleEvent makeEvent(const QString& mood, const QString& activity, const QString& location = u"图书馆"_s)
{
    return RoleEvent{u"08:00-09:00"_s, activity, mood, location, 3, u"独处"_s};
}

} // namespace

class TestStatusRendering : public QObject {
    Q_OBJECT

    // Unicode's grapheme break cases by line: hex code points, "÷" where a break must be, "×" where none may be.
    QList<std::pair<int, QString>> m_cases;

private slots:
    void moodCategory_data()
    {
        QTest::addColumn<QString>("mood");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<MoodCategory>("category");

        QTest::newRow("sleep") << u"睡得很沉"_s << u""_s << MoodCategory::sleeping;
        QTest::newRow("sleep beats anxiety") << u"焦虑到睡不着"_s << u""_s << MoodCategory::sleeping;
        QTest::newRow("anxiety beats joy") << u"开心又焦虑"_s << u""_s << MoodCategory::chaos;
        QTest::newRow("mood beats activity") << u"开心"_s << u"部门会议"_s << MoodCategory::hyperdrive;
        QTest::newRow("research") << u"平静"_s << u"研究论文"_s << MoodCategory::focus;
        QTest::newRow("meeting in mood only") << u"会议中"_s << u"喝茶"_s << MoodCategory::chill;
        QTest::newRow("sleep in activity only") << u"平静"_s << u"睡觉"_s << MoodCategory::chill;
        QTest::newRow("empty") << u""_s << u""_s << MoodCategory::chill;
    }

    void moodCategory()
    {
        QFETCH(QString, mood);
        QFETCH(QString, activity);
        QFETCH(MoodCategory, category);
        QCOMPARE(pellora::moodCategory(makeEvent(mood, activity)), category);
    }

    void faces_data()
    {
        QTest::addColumn<QString>("mood");
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QString>("dynamic");
        QTest::addColumn<QString>("tag");

        // Compared code unit by code unit, so never normalised; combining marks are written as escapes.
        QTest::newRow("sleeping") << u"睡"_s << u"( ˘ω˘ )"_s << u"(ᵕ≀ \u0320ᵕ )"_s << u"[Sleeping]"_s;
        QTest::newRow("chill") << u"平静"_s << u"(＾▽＾)"_s << u"(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧"_s << u"[Chill Mode]"_s;
        QTest::newRow("focus") << u"写"_s << u"(｡•\u0300ᴗ-)✧"_s << u"(ง •\u0300_•\u0301)ง"_s << u"[Focus @ 图书馆]"_s;
        QTest::newRow("hyperdrive") << u"兴奋"_s << u"ヽ(・∀・)ﾉ"_s << u"｡ﾟ✶\u0E3A.ヽ(*´∀`)ﾉﾟ✶\u0E3A.｡"_s
                                    << u"[Hyperdrive]"_s;
        QTest::newRow("chaos") << u"焦"_s << u"(；⌣\u0300_⌣\u0301)"_s << u"(╯°□°）╯︵ ┻━┻"_s << u"[Chaos Buffering]"_s;
    }

    void faces()
    {
        QFETCH(QString, mood);
        // For "focus" the keyword sits in the activity; the mood is then neutral.
        const RoleEvent e = mood == u"写" ? makeEvent(u"平静"_s, u"写报告"_s) : makeEvent(mood, u"散步"_s);
        QTEST(statusFace(e, StylePack::classicKaomoji), "classic");
        QTEST(statusFace(e, StylePack::dynamicKaomoji), "dynamic");
        QTEST(statusFace(e, StylePack::textOnly), "tag");
    }

    // Meters, titles, upcoming lines and preview faces, as the strip, the picker and the command line show them.
    void displayTexts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto role = [](std::optional<QString> displayName, const QString& name,
                             StylePack pack = StylePack::textOnly, const QList<RoleEvent>& events = {}) {
            return Role{u"id"_s, name, displayName, pack, u""_s, events};
        };
        // Unknown energy fills 3 cells; a known level is clamped to 1...5.
        QTest::newRow("meter, unknown") << meterText(std::nullopt) << u"energy [███░░]  3/5"_s;
        QTest::newRow("meter, 0") << meterText(0) << u"energy [█░░░░]  1/5"_s;
        QTest::newRow("meter, 4") << meterText(4) << u"energy [████░]  4/5"_s;
        QTest::newRow("meter, int64 max") << meterText(std::numeric_limits<qint64>::max()) << u"energy [█████]  5/5"_s;

        QTest::newRow("title") << roleTitle(role(u"夜班护士"_s, u"林"_s)) << u"夜班护士 · 林"_s;
        QTest::newRow("title, no display name") << roleTitle(role(std::nullopt, u"林"_s)) << u"林"_s;
        QTest::newRow("title, empty display name") << roleTitle(role(u""_s, u"Anna Lee"_s)) << u" · Anna Lee"_s;

        // The time is taken as written, placeholders included; the activity is cut to 38 graphemes.
        const auto line = [](const QString& activity) {
            RoleEvent e = makeEvent(u""_s, activity);
            e.time = u"8:00 %2"_s;
            return upcomingLine(e);
        };
        const QString head = u"→ 8:00 %2 · "_s;
        const QString cjk38 = QString(38, QChar(0x5199));
        QTest::newRow("38 kept") << line(cjk38) << head + cjk38;
        QTest::newRow("39 cut") << line(cjk38 + u"尾"_s) << head + cjk38 + u"…"_s;
        // Emoji outside the BMP, a ZWJ family and a flag right after an emoji count as one each.
        const QString emoji = u"👨‍👩‍👧"_s + QString(u"😀"_s).repeated(36) + u"🇯🇵"_s;
        QTest::newRow("emoji, 39 cut") << line(emoji + u"x"_s) << head + emoji + u"…"_s;

        // A role's face in lists is its first event's, not the current one's; a puzzled face without events.
        const QList<RoleEvent> day{makeEvent(u"睡"_s, u""_s), makeEvent(u"开心"_s, u""_s)};
        const auto preview = [&role](StylePack pack, const QList<RoleEvent>& events) {
            return previewFace(role(std::nullopt, u"n"_s, pack, events));
        };
        QTest::newRow("preview, no events") << preview(StylePack::textOnly, {}) << u"(・・;)"_s;
        QTest::newRow("preview, first event") << preview(StylePack::classicKaomoji, day) << u"( ˘ω˘ )"_s;
        // The focus tag takes the place as written.
        QTest::newRow("preview, untrimmed place")
            << preview(StylePack::textOnly, {makeEvent(u"平静"_s, u"研究"_s, u" Lab 3 "_s)}) << u"[Focus @  Lab 3 ]"_s;
    }

    void displayTexts()
    {
        QFETCH(QString, actual);
        QTEST(actual, "expected");
    }

    // Every shipped role fills the whole day, 00:00 to 24:00 without a gap or an overlap, so the strip always
    // has something to show.
    void shippedDaysAreWhole()
    {
        QFile file(u":/roles.json"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const RolePackDecodeResult pack = decodeRolePack(file.readAll());
        QVERIFY2(pack.ok() && !pack.payload.roles.isEmpty(), qPrintable(pack.error));
        for (const Role& role : pack.payload.roles) {
            int end = 0;
            for (const RoleEvent& event : role.events) {
                const QList<int> times = parseClockTimes(event.time);
                QVERIFY2(times.size() == 2 && times[0] == end && times[1] > end,
                         qPrintable(role.id + u' ' + event.time));
                end = times[1];
            }
            QVERIFY2(end == 24 * 60, qPrintable(role.id));
        }
    }

    // labelText for one-line labels; labelLines for a summary, whose line breaks are meant; terminalText for
    // the command line, where every control but the tab is shown escaped.
    void shownText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("terminal");
        QTest::newRow("whitespace controls")
            << u"a\tb\nc\u000bd\u000ce\rf\u0085g\u2028h\u2029i\r\nj"_s << u"a b c d e f g h i  j"_s
            << u"a b\nc d e f g h i\nj"_s << u"a\tb\\x0ac\\x0bd\\x0ce\\x0df\\x85g\\u2028h\\u2029i\\x0d\\x0aj"_s;
        QTest::newRow("other controls") << u"\u001b[2J\u0000x\u007f\u0080\u009b\u001f"_s << u"[2Jx"_s << u"[2Jx"_s
                                        << u"\\x1b[2J\\x00x\\x7f\\x80\\x9b\\x1f"_s;
        QTest::newRow("neighbours of the ranges stay") << u" ~\u00a0\u2027\u202a"_s << u" ~\u00a0\u2027\u202a"_s
                                                       << u" ~\u00a0\u2027\u202a"_s << u" ~\u00a0\u2027\u202a"_s;
    }

    void shownText()
    {
        QFETCH(QString, text);
        QTEST(labelText(text), "label");
        QTEST(labelLines(text), "lines");
        QTEST(terminalText(text), "terminal");
    }

    void initTestCase()
    {
        QFile file(u"/usr/share/unicode/auxiliary/GraphemeBreakTest.txt"_s);
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), "the conformance file comes with unicode-data");
        for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
            const QString line = QString::fromUtf8(file.readLine());
            const QString markedCodePoints = line.section(u'#', 0, 0).simplified();
            if (!markedCodePoints.isEmpty())
                m_cases.append({lineNumber, markedCodePoints});
        }
    }

    void breaksAsUnicodeStates_data()
    {
        QTest::addColumn<QString>("expected");
        for (const auto& [lineNumber, markedCodePoints] : m_cases)
            QTest::addRow("line %d", lineNumber) << markedCodePoints;
    }

    // Writes the case again with the markers the segmenter gives, so a failure shows both side by side.
    void breaksAsUnicodeStates()
    {
        QFETCH(QString, expected);
        QString text;
        QList<std::pair<qsizetype, QString>> codePoints; // where each starts in UTF-16, and its hex
        for (const QString& token : expected.split(u' ')) {
            if (token == u"÷" || token == u"×")
                continue;
            const char32_t codePoint = token.toUInt(nullptr, 16);
            codePoints.append({text.size(), token});
            text += QString::fromUcs4(&codePoint, 1);
        }
        QSet<qsizetype> breaks{0};
        for (qsizetype clusters = 1; clusters <= text.size(); ++clusters)
            breaks.insert(leadingClustersLength(text, clusters));
        QString actual;
        for (const auto& [start, hex] : codePoints)
            actual += (breaks.contains(start) ? u"÷ "_s : u"× "_s) + hex + u' ';
        actual += breaks.contains(text.size()) ? u"÷"_s : u"×"_s;
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestStatusRendering)
#include "tst_statusrendering.moc"
