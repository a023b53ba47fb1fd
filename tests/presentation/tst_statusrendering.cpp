#include "presentation/DisplayText.h"
#include "presentation/EnergyMeter.h"
#include "presentation/StatusRendering.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

RoleEvent makeEvent(const QString& mood, const QString& activity, const QString& location = u"图书馆"_s,
                    std::optional<qint64> energy = 3)
{
    return RoleEvent{u"08:00-09:00"_s, activity, mood, location, energy, u"独处"_s};
}

QString fromCodePoints(const QList<uint>& codePoints)
{
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), codePoints.size());
}

} // namespace

class TestStatusRendering : public QObject {
    Q_OBJECT

private slots:
    void moodCategory_data()
    {
        QTest::addColumn<QString>("mood");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<MoodCategory>("category");

        QTest::newRow("sleep") << u"睡得很沉"_s << u""_s << MoodCategory::sleeping;
        QTest::newRow("unconscious anywhere") << u"几乎无意识了"_s << u""_s << MoodCategory::sleeping;
        QTest::newRow("sleep beats anxiety") << u"焦虑到睡不着"_s << u""_s << MoodCategory::sleeping;
        QTest::newRow("tense") << u"紧张"_s << u""_s << MoodCategory::chaos;
        QTest::newRow("pressure") << u"压力山大"_s << u""_s << MoodCategory::chaos;
        QTest::newRow("anxiety beats joy") << u"开心又焦虑"_s << u""_s << MoodCategory::chaos;
        QTest::newRow("excited") << u"兴奋"_s << u""_s << MoodCategory::hyperdrive;
        QTest::newRow("jumping for joy") << u"雀跃"_s << u""_s << MoodCategory::hyperdrive;
        QTest::newRow("mood beats activity") << u"开心"_s << u"部门会议"_s << MoodCategory::hyperdrive;
        QTest::newRow("writing code") << u"平静"_s << u"写代码"_s << MoodCategory::focus;
        QTest::newRow("research") << u"平静"_s << u"研究论文"_s << MoodCategory::focus;
        QTest::newRow("meeting") << u""_s << u"开会议"_s << MoodCategory::focus;
        QTest::newRow("meeting in mood only") << u"会议中"_s << u"喝茶"_s << MoodCategory::chill;
        QTest::newRow("sleep in activity only") << u"平静"_s << u"睡觉"_s << MoodCategory::chill;
        QTest::newRow("empty") << u""_s << u""_s << MoodCategory::chill;
        QTest::newRow("keyword after combining text") << u"e\u0301开心"_s << u""_s << MoodCategory::hyperdrive;
        QTest::newRow("latin case folding harmless") << u"HAPPY 开心"_s << u"WRITE"_s << MoodCategory::hyperdrive;
    }

    void moodCategory()
    {
        QFETCH(QString, mood);
        QFETCH(QString, activity);
        QFETCH(MoodCategory, category);
        QCOMPARE(pellora::moodCategory(makeEvent(mood, activity)), category);
    }

    void facesAreExactCodePoints_data()
    {
        QTest::addColumn<QString>("mood");
        QTest::addColumn<QList<uint>>("classic");
        QTest::addColumn<QList<uint>>("dynamic");
        QTest::addColumn<QString>("tag");

        QTest::newRow("sleeping") << u"睡"_s << QList<uint>{0x28, 0x20, 0x2D8, 0x3C9, 0x2D8, 0x20, 0x29}
                                  << QList<uint>{0x28, 0x1D55, 0x2240, 0x20, 0x320, 0x1D55, 0x20, 0x29}
                                  << u"[Sleeping]"_s;
        QTest::newRow("chill") << u"平静"_s << QList<uint>{0x28, 0xFF3E, 0x25BD, 0xFF3E, 0x29}
                               << QList<uint>{0x28,   0xFF89, 0x25D5, 0x30EE, 0x25D5, 0x29,
                                              0xFF89, 0x2A,   0x3A,   0xFF65, 0xFF9F, 0x2727}
                               << u"[Chill Mode]"_s;
        QTest::newRow("focus") << u"写"_s << QList<uint>{0x28, 0xFF61, 0x2022, 0x300, 0x1D17, 0x2D, 0x29, 0x2727}
                               << QList<uint>{0x28, 0xE07, 0x20, 0x2022, 0x300, 0x5F, 0x2022, 0x301, 0x29, 0xE07}
                               << u"[Focus @ 图书馆]"_s;
        QTest::newRow("hyperdrive") << u"兴奋"_s << QList<uint>{0x30FD, 0x28, 0x30FB, 0x2200, 0x30FB, 0x29, 0xFF89}
                                    << QList<uint>{0xFF61, 0xFF9F, 0x2736, 0xE3A,  0x2E,   0x30FD, 0x28,  0x2A, 0xB4,
                                                   0x2200, 0x60,   0x29,   0xFF89, 0xFF9F, 0x2736, 0xE3A, 0x2E, 0xFF61}
                                    << u"[Hyperdrive]"_s;
        QTest::newRow("chaos") << u"焦"_s << QList<uint>{0x28, 0xFF1B, 0x2323, 0x300, 0x5F, 0x2323, 0x301, 0x29}
                               << QList<uint>{0x28,   0x256F, 0xB0, 0x25A1, 0xB0,   0xFF09,
                                              0x256F, 0xFE35, 0x20, 0x253B, 0x2501, 0x253B}
                               << u"[Chaos Buffering]"_s;
    }

    void facesAreExactCodePoints()
    {
        QFETCH(QString, mood);
        QFETCH(QList<uint>, classic);
        QFETCH(QList<uint>, dynamic);
        QFETCH(QString, tag);

        // For "focus" the keyword sits in the activity; the mood is then neutral.
        const RoleEvent e = mood == u"写" ? makeEvent(u"平静"_s, u"写报告"_s) : makeEvent(mood, u"散步"_s);
        QCOMPARE(statusFace(e, StylePack::classicKaomoji).toUcs4(), classic);
        QCOMPARE(statusFace(e, StylePack::dynamicKaomoji).toUcs4(), dynamic);
        QCOMPARE(statusFace(e, StylePack::textOnly), tag);
        // Faces are never normalised into another form.
        QCOMPARE(statusFace(e, StylePack::dynamicKaomoji), fromCodePoints(dynamic));

        // Energy plays no part.
        RoleEvent other = e;
        other.energy = std::nullopt;
        QCOMPARE(statusFace(other, StylePack::classicKaomoji), statusFace(e, StylePack::classicKaomoji));
    }

    void focusTagTakesLocationVerbatim_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("tag");
        QTest::newRow("library") << u"图书馆"_s << u"[Focus @ 图书馆]"_s;
        QTest::newRow("empty") << u""_s << u"[Focus @ ]"_s;
        QTest::newRow("untrimmed, cased") << u" Lab 3 "_s << u"[Focus @  Lab 3 ]"_s;
    }

    void focusTagTakesLocationVerbatim()
    {
        QFETCH(QString, location);
        QFETCH(QString, tag);
        QCOMPARE(statusFace(makeEvent(u"平静"_s, u"研究"_s, location), StylePack::textOnly), tag);
    }

    void palettes()
    {
        QCOMPARE(stylePalette(StylePack::classicKaomoji),
                 (StylePalette{{0.73, 0.77, 0.94, 1}, {0.92, 0.94, 0.99, 1}, {0.22, 0.25, 0.36, 1}, {0, 0, 0, 0.1}}));
        QCOMPARE(stylePalette(StylePack::dynamicKaomoji),
                 (StylePalette{{0.98, 0.76, 0.78, 1}, {0.99, 0.92, 0.93, 1}, {0.32, 0.20, 0.24, 1}, {0, 0, 0, 0.15}}));
        QCOMPARE(stylePalette(StylePack::textOnly),
                 (StylePalette{{0.78, 0.87, 0.77, 1}, {0.91, 0.96, 0.90, 1}, {0.17, 0.28, 0.20, 1}, {0, 0, 0, 0.08}}));
    }

    void meter_data()
    {
        QTest::addColumn<std::optional<qint64>>("level");
        QTest::addColumn<int>("cells");
        QTest::addColumn<QString>("text");
        QTest::newRow("absent") << std::optional<qint64>() << 3 << u"energy [███░░]  3/5"_s;
        QTest::newRow("1") << std::optional<qint64>(1) << 1 << u"energy [█░░░░]  1/5"_s;
        QTest::newRow("4") << std::optional<qint64>(4) << 4 << u"energy [████░]  4/5"_s;
        QTest::newRow("5") << std::optional<qint64>(5) << 5 << u"energy [█████]  5/5"_s;
        QTest::newRow("0") << std::optional<qint64>(0) << 1 << u"energy [█░░░░]  1/5"_s;
        QTest::newRow("-3") << std::optional<qint64>(-3) << 1 << u"energy [█░░░░]  1/5"_s;
        QTest::newRow("40") << std::optional<qint64>(40) << 5 << u"energy [█████]  5/5"_s;
        QTest::newRow("int64 extremes") << std::optional<qint64>(std::numeric_limits<qint64>::min()) << 1
                                        << u"energy [█░░░░]  1/5"_s;
    }

    void meter()
    {
        QFETCH(std::optional<qint64>, level);
        QFETCH(int, cells);
        QFETCH(QString, text);
        QCOMPARE(filledCells(level), cells);
        QCOMPARE(meterText(level), text);
    }

    void titles_data()
    {
        QTest::addColumn<std::optional<QString>>("displayName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("with display name") << std::optional<QString>(u"夜班护士"_s) << u"林"_s << u"夜班护士 · 林"_s;
        QTest::newRow("without") << std::optional<QString>() << u"林"_s << u"林"_s;
        QTest::newRow("empty display name") << std::optional<QString>(u""_s) << u"Anna Lee"_s << u" · Anna Lee"_s;
    }

    void titles()
    {
        QFETCH(std::optional<QString>, displayName);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(roleTitle(Role{u"id"_s, name, displayName, StylePack::textOnly, u""_s, {}}), title);
    }

    void upcomingLineCutsGraphemes_data()
    {
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QString>("shown");

        const QString cjk38 = QString(38, QChar(0x5199));
        QTest::newRow("38 kept") << cjk38 << cjk38;
        QTest::newRow("39 cut") << cjk38 + u"尾"_s << cjk38 + u"…"_s;
        // Each "é" written as e + U+0301 is one user-perceived character of two code units.
        const QString accented = QString(u"e\u0301"_s).repeated(38);
        QTest::newRow("combining, 38 kept") << accented << accented;
        QTest::newRow("combining, 39 cut") << accented + u"e\u0301"_s << accented + u"…"_s;
        // Emoji outside the BMP and a ZWJ family count as one each.
        const QString emoji = QString(u"😀"_s).repeated(37) + u"👨‍👩‍👧"_s;
        QTest::newRow("emoji, 38 kept") << emoji << emoji;
        QTest::newRow("emoji, 39 cut") << emoji + u"x"_s << emoji + u"…"_s;
        QTest::newRow("empty") << u""_s << u""_s;
    }

    void upcomingLineCutsGraphemes()
    {
        QFETCH(QString, activity);
        QFETCH(QString, shown);
        QCOMPARE(upcomingLine(makeEvent(u""_s, activity)), u"→ 08:00-09:00 · "_s + shown);
    }

    void upcomingLineKeepsPercentSigns()
    {
        RoleEvent e = makeEvent(u""_s, u"100% %1 done"_s);
        e.time = u"%2"_s;
        QCOMPARE(upcomingLine(e), u"→ %2 · 100% %1 done"_s);
    }

    void previewFace_data()
    {
        QTest::addColumn<StylePack>("pack");
        QTest::addColumn<QList<RoleEvent>>("events");
        QTest::addColumn<QString>("face");

        const QList<RoleEvent> day{makeEvent(u"睡"_s, u""_s), makeEvent(u"开心"_s, u""_s)};
        QTest::newRow("no events, classic") << StylePack::classicKaomoji << QList<RoleEvent>{} << u"(・・;)"_s;
        QTest::newRow("no events, text") << StylePack::textOnly << QList<RoleEvent>{} << u"(・・;)"_s;
        QTest::newRow("first event, not current") << StylePack::classicKaomoji << day << u"( ˘ω˘ )"_s;
        QTest::newRow("text only gives a tag") << StylePack::textOnly << day << u"[Sleeping]"_s;
    }

    void previewFace()
    {
        QFETCH(StylePack, pack);
        QFETCH(QList<RoleEvent>, events);
        QFETCH(QString, face);
        QCOMPARE(pellora::previewFace(Role{u"id"_s, u"n"_s, std::nullopt, pack, u""_s, events}), face);
    }

    void hintText() { QCOMPARE(stripHintText(), u"还没有角色，去菜单挑一个~"_s); }
};

QTEST_GUILESS_MAIN(TestStatusRendering)
#include "tst_statusrendering.moc"
