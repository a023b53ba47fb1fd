#include "model/RolePackCodec.h"

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

// A pack of one role with the given members.
QByteArray oneRole(const QByteArray& members)
{
    return R"({"roles":[{"id":"a","name":"A",)" + members + "}]}";
}

using Text = std::optional<QString>;
using Number = std::optional<qint64>;

Role roleWith(const QString& mood, Number energy = 3, Text displayName = std::nullopt)
{
    const RoleEvent event{u"08:00-09:00"_s, u"Breakfast"_s, mood, u"home"_s, energy, u"alone"_s};
    return Role{u"r"_s, u"R"_s, displayName, StylePack::classicKaomoji, u"s"_s, {event}};
}

} // namespace

class TestRolePack : public QObject {
    Q_OBJECT

private slots:
    void acceptsOptionalKeysMissingOrNull_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<Text>("displayName");
        QTest::addColumn<Number>("energy");

        const auto row = [](const char* tag, const QByteArray& roleExtra, const QByteArray& eventExtra, Text name,
                            Number energy) {
            const QByteArray fields = R"("time":"t","event":"e","mood":"m","location":"l","social":"s")";
            QTest::newRow(tag) << pack(roleExtra, fields + eventExtra) << name << energy;
        };
        const qint64 min = std::numeric_limits<qint64>::min();
        const qint64 max = std::numeric_limits<qint64>::max();
        row("both missing", {}, {}, {}, {});
        row("both null", R"(,"displayName":null)", R"(,"energy":null)", {}, {});
        row("empty display name, negative energy", R"(,"displayName":"")", R"(,"energy":-3)", u""_s, -3);
        row("integral float energy", {}, R"(,"energy":4.0)", {}, 4);
        // The 64-bit range is judged on the literal's digits, however the number would round as a double.
        row("-2^63", {}, R"(,"energy":-9223372036854775808)", {}, min);
        row("2^63 - 1", {}, R"(,"energy":9223372036854775807)", {}, max);
        row("-2^63 under an escaped key", {}, R"(,"\u0065nergy":-9223372036854775808)", {}, min);
        row("unknown keys ignored", R"(,"comment":{"x":[1,2]})", R"(,"note":"ignored","energy":1)", {}, 1);
    }

    void acceptsOptionalKeysMissingOrNull()
    {
        QFETCH(QByteArray, json);
        QFETCH(Text, displayName);
        QFETCH(Number, energy);

        const RolePackDecodeResult result = decodeRolePack(json);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.payload.roles.size(), 2);
        const Role& role = result.payload.roles.at(1);
        QCOMPARE(role.displayName, displayName);
        QCOMPARE(role.events.at(1).energy, energy);
        QCOMPARE(role.stylePack, StylePack::textOnly);
    }

    void rejectsWholeDocument_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");

        const auto event = [](const QByteArray& extra) {
            return pack({}, R"("time":"t","event":"e","mood":"m","location":"l")" + extra);
        };
        const QString energy = u"roles[1].events[1].energy: expected an integer"_s;
        const QString outOfRange = energy + u" or null, found the number "_s;
        QTest::newRow("missing social") << event({}) << u"roles[1].events[1].social: missing"_s;
        QTest::newRow("null in required key")
            << event(R"(,"social":null)") << u"roles[1].events[1].social: expected a string, found null"_s;
        QTest::newRow("fractional energy") << event(R"(,"social":"s","energy":1.5)") << energy;
        QTest::newRow("2^63") << event(R"(,"social":"s","energy":9223372036854775808)")
                              << outOfRange + u"9223372036854775808"_s;
        QTest::newRow("-2^63 - 1") << event(R"(,"social":"s","energy":-9223372036854775809)")
                                   << outOfRange + u"-9223372036854775809"_s;
        QTest::newRow("repeated key, the last counts")
            << event(R"(,"social":"s","energy":-9223372036854775808,"energy":-9223372036854775809)") << outOfRange;
        QTest::newRow("display name of wrong type")
            << pack(R"(,"displayName":false)") << u"roles[1].displayName: expected a string or null"_s;
        QTest::newRow("capitalised style pack") << oneRole(R"("stylePack":"ClassicKaomoji","summary":"s","events":[])")
                                                << u"roles[0].stylePack: unknown style pack \"ClassicKaomoji\""_s;
        QTest::newRow("not JSON") << QByteArray("roles: []") << u"(root): not valid JSON"_s;
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

    // Canonically equivalent texts compare equal; case, and absent against empty or 0, still differ.
    void equality()
    {
        QCOMPARE(roleWith(u"caf\u00e9"_s), roleWith(u"cafe\u0301"_s));
        QVERIFY(roleWith(u"Calm"_s) != roleWith(u"calm"_s));
        QVERIFY(roleWith(u"m"_s, std::nullopt) != roleWith(u"m"_s, 0));
        QVERIFY(roleWith(u"m"_s, 3, u""_s) != roleWith(u"m"_s));
    }
};

QTEST_GUILESS_MAIN(TestRolePack)
#include "tst_rolepack.moc"
