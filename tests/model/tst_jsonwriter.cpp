#include "model/JsonWriter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestJsonWriter : public QObject {
    Q_OBJECT

private slots:
    void quoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("escapeSlash");
        QTest::addColumn<QByteArray>("json");

        QTest::newRow("quote and backslash") << u"a\"b\\c"_s << false << QByteArray("\"a\\\"b\\\\c\"");
        QTest::newRow("slash escaped") << u"a/b"_s << true << QByteArray(R"("a\/b")");
        QTest::newRow("controls") << u"\n\t\r\b\f\u0001\u001f"_s << false << QByteArray(R"("\n\t\r\b\f\u0001\u001f")");
        QTest::newRow("UTF-8 as is") << u"开心 ٩(｡•́‿•̀｡)۶"_s << false << QByteArray("\"开心 ٩(｡•́‿•̀｡)۶\"");
        QTest::newRow("DEL and beyond untouched") << u"\u007f"_s << false << QByteArray("\"\x7f\"");
    }

    void quoting()
    {
        QFETCH(QString, text);
        QFETCH(bool, escapeSlash);
        QFETCH(QByteArray, json);
        QCOMPARE(jsonQuoted(text, escapeSlash), json);
        // Whatever the escapes, a standard parser reads the same text back.
        const QJsonDocument parsed = QJsonDocument::fromJson("{\"k\":" + json + "}");
        QCOMPARE(parsed.object().value(u"k"_s).toString(), text);
    }
};

QTEST_GUILESS_MAIN(TestJsonWriter)
#include "tst_jsonwriter.moc"
