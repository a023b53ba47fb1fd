#include "model/RolePackCodec.h"

#include <QHash>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// A valid two-role pack; tests break one piece of it at a time.
QByteArray pack(const QByteArray& secondRoleExtra = {}, const QByteArray& secondEventFields = {})
{
    QByteArray eventFields = secondEventFields.isNull()
                                 ? R"("time":"09:00-10:00","event":"写","mood":"平静","location":"家","social":"独处")"
                                 : secondEventFields;
    return R"({"roles":[
        {"id":"a","name":"A","stylePack":"classicKaomoji","summary":"s","events":[]},
        {"id":"b","name":"B","stylePack":"textOnly","summary":"s")" +
           secondRoleExtra + R"(,"events":[
            {"time":"08:00-09:00","event":"e","mood":"m","location":"l","energy":2,"social":"x"},
            {)" +
           eventFields + R"(}]}]})";
}

RoleEvent makeEvent(const QString& mood, std::optional<qint64> energy = 3)
{
    return RoleEvent{u"08:00-09:00"_s, u"Breakfast"_s, mood, u"home"_s, energy, u"alone"_s};
}

} // namespace

class TestRolePack : public QObject {
    Q_OBJECT

private slots:
    void acceptsOptionalKeysMissingOrNull_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<QString>>("displayName");
        QTest::addColumn<std::optional<qint64>>("energy");

        const QByteArray fields = R"("time":"t","event":"e","mood":"m","location":"l","social":"s")";
        QTest::newRow("both missing") << pack({}, fields) << std::optional<QString>() << std::optional<qint64>();
        QTest::newRow("both null") << pack(R"(,"displayName":null)", fields + R"(,"energy":null)")
                                   << std::optional<QString>() << std::optional<qint64>();
        QTest::newRow("present") << pack(R"(,"displayName":"夜班护士")", fields + R"(,"energy":40)")
                                 << std::optional<QString>(u"夜班护士"_s) << std::optional<qint64>(40);
        QTest::newRow("empty display name, negative energy")
            << pack(R"(,"displayName":"")", fields + R"(,"energy":-3)") << std::optional<QString>(u""_s)
            << std::optional<qint64>(-3);
        QTest::newRow("integral float energy")
            << pack({}, fields + R"(,"energy":4.0)") << std::optional<QString>() << std::optional<qint64>(4);
        QTest::newRow("unknown keys ignored")
            << pack(R"(,"comment":{"x":[1,2]})", fields + R"(,"note":"ignored","energy":1)") << std::optional<QString>()
            << std::optional<qint64>(1);
    }

    void acceptsOptionalKeysMissingOrNull()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<QString>, displayName);
        QFETCH(std::optional<qint64>, energy);

        const RolePackDecodeResult result = decodeRolePack(json);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.payload.roles.size(), 2);
        const Role& role = result.payload.roles.at(1);
        QCOMPARE(role.displayName, displayName);
        QCOMPARE(role.events.at(1).energy, energy);
        QVERIFY(result.payload.roles.at(0).events.isEmpty());
        QCOMPARE(role.stylePack, StylePack::textOnly);
        QCOMPARE(role.events.at(0).energy, std::optional<qint64>(2));
    }

    void rejectsWholeDocument_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");

        const QByteArray fields = R"("time":"t","event":"e","mood":"m","location":"l")";
        QTest::newRow("missing social") << pack({}, fields) << u"roles[1].events[1].social: missing"_s;
        QTest::newRow("null in required key")
            << pack({}, fields + R"(,"social":null)") << u"roles[1].events[1].social: expected a string, found null"_s;
        QTest::newRow("number for text") << pack({}, fields + R"(,"social":7)")
                                         << u"roles[1].events[1].social: expected a string"_s;
        QTest::newRow("fractional energy") << pack({}, fields + R"(,"social":"s","energy":1.5)")
                                           << u"roles[1].events[1].energy: expected an integer"_s;
        QTest::newRow("string energy") << pack({}, fields + R"(,"social":"s","energy":"3")")
                                       << u"roles[1].events[1].energy: expected an integer"_s;
        QTest::newRow("energy beyond 64 bits") << pack({}, fields + R"(,"social":"s","energy":1e30)")
                                               << u"roles[1].events[1].energy: expected an integer"_s;
        QTest::newRow("display name of wrong type")
            << pack(R"(,"displayName":false)") << u"roles[1].displayName: expected a string or null"_s;
        QTest::newRow("capitalised style pack")
            << QByteArray(R"({"roles":[{"id":"a","name":"A","stylePack":"ClassicKaomoji","summary":"s","events":[]}]})")
            << u"roles[0].stylePack: unknown style pack \"ClassicKaomoji\""_s;
        QTest::newRow("missing summary")
            << QByteArray(R"({"roles":[{"id":"a","name":"A","stylePack":"textOnly","events":[]}]})")
            << u"roles[0].summary: missing"_s;
        QTest::newRow("events not an array")
            << QByteArray(R"({"roles":[{"id":"a","name":"A","stylePack":"textOnly","summary":"","events":{}}]})")
            << u"roles[0].events: expected an array"_s;
        QTest::newRow("event not an object")
            << QByteArray(R"({"roles":[{"id":"a","name":"A","stylePack":"textOnly","summary":"","events":[1]}]})")
            << u"roles[0].events[0]: expected an object"_s;
        QTest::newRow("role not an object") << QByteArray(R"({"roles":[null]})") << u"roles[0]: expected an object"_s;
        QTest::newRow("top-level array") << QByteArray(R"([{"roles":[]}])") << u"(root): expected an object"_s;
        QTest::newRow("no roles key") << QByteArray(R"({"Roles":[]})") << u"roles: missing"_s;
        QTest::newRow("roles null") << QByteArray(R"({"roles":null})") << u"roles: expected an array, found null"_s;
        QTest::newRow("not JSON") << QByteArray("roles: []") << u"(root): not valid JSON"_s;
        QTest::newRow("truncated") << pack().chopped(3) << u"(root): not valid JSON"_s;
        QTest::newRow("empty") << QByteArray() << u"(root): not valid JSON"_s;
        QTest::newRow("invalid UTF-8") << QByteArray("{\"roles\":[\"\xff\xfe\"]}") << u"(root): not valid JSON"_s;
        QTest::newRow("deep nesting") << QByteArray(100000, '[') << u"(root): not valid JSON"_s;
    }

    void rejectsWholeDocument()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);

        const RolePackDecodeResult result = decodeRolePack(json);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
        QVERIFY(result.payload.roles.isEmpty()); // never a partial pack
    }

    void encodesAndDecodesBackEqual()
    {
        const RolePackDecodeResult first = decodeRolePack(pack(R"(,"displayName":"X")"));
        QVERIFY(first.ok());
        const QByteArray encoded = encodeRolePack(first.payload);
        QVERIFY(!encoded.contains("null")); // absent optionals are left out, not written as null
        QCOMPARE(decodeRolePack(encoded).payload, first.payload);
    }

    void eventIdentity()
    {
        QCOMPARE(makeEvent(u"happy"_s).id(), u"08:00-09:00_Breakfast"_s);
        QCOMPARE(makeEvent(u"happy"_s).id(), makeEvent(u"sad"_s).id());
    }

    void equalityAndHashing_data()
    {
        QTest::addColumn<RoleEvent>("a");
        QTest::addColumn<RoleEvent>("b");
        QTest::addColumn<bool>("equal");

        QTest::newRow("identical") << makeEvent(u"开心"_s) << makeEvent(u"开心"_s) << true;
        QTest::newRow("precomposed vs decomposed") << makeEvent(u"caf\u00e9"_s) << makeEvent(u"cafe\u0301"_s) << true;
        QTest::newRow("case differs") << makeEvent(u"Calm"_s) << makeEvent(u"calm"_s) << false;
        QTest::newRow("mood differs") << makeEvent(u"开心"_s) << makeEvent(u"平静"_s) << false;
        QTest::newRow("energy absent vs 0") << makeEvent(u"m"_s, std::nullopt) << makeEvent(u"m"_s, 0) << false;
        QTest::newRow("energy both absent")
            << makeEvent(u"m"_s, std::nullopt) << makeEvent(u"m"_s, std::nullopt) << true;
    }

    void equalityAndHashing()
    {
        QFETCH(RoleEvent, a);
        QFETCH(RoleEvent, b);
        QFETCH(bool, equal);

        QCOMPARE(a == b, equal);
        if (equal)
            QCOMPARE(qHash(a, 7), qHash(b, 7));
        else
            QVERIFY(qHash(a, 7) != qHash(b, 7));

        Role left{u"r"_s, u"R"_s, std::nullopt, StylePack::classicKaomoji, u"s"_s, {a}};
        Role right = left;
        right.events = {b};
        QCOMPARE(left == right, equal);
        if (equal)
            QCOMPARE(qHash(left), qHash(right));
        else
            QVERIFY(qHash(left) != qHash(right));
    }

    void rolesAreUsableAsHashKeys()
    {
        Role composed{u"\u00e9"_s, u"N"_s, u""_s, StylePack::textOnly, u""_s, {}};
        Role decomposed = composed;
        decomposed.id = u"e\u0301"_s;
        QSet<Role> set{composed, decomposed};
        QCOMPARE(set.size(), 1);
        // The text as written is kept; only comparisons normalise.
        QCOMPARE(decomposed.id.size(), 2);

        Role noDisplayName = composed;
        noDisplayName.displayName.reset();
        QVERIFY(!(noDisplayName == composed)); // absent differs from empty
    }

    void stylePackText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<StylePack>>("pack");
        QTest::newRow("classic") << u"classicKaomoji"_s << std::optional(StylePack::classicKaomoji);
        QTest::newRow("dynamic") << u"dynamicKaomoji"_s << std::optional(StylePack::dynamicKaomoji);
        QTest::newRow("text") << u"textOnly"_s << std::optional(StylePack::textOnly);
        QTest::newRow("case") << u"textonly"_s << std::optional<StylePack>();
        QTest::newRow("padded") << u" textOnly"_s << std::optional<StylePack>();
        QTest::newRow("empty") << QString() << std::optional<StylePack>();
    }

    void stylePackText()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<StylePack>, pack);
        QCOMPARE(stylePackFromText(text), pack);
        if (pack)
            QCOMPARE(pellora::stylePackText(*pack), text);
    }
};

QTEST_GUILESS_MAIN(TestRolePack)
#include "tst_rolepack.moc"
