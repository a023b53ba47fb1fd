#include "presentation/ControlCharacters.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestControlCharacters : public QObject {
    Q_OBJECT

private slots:
    void terminalText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain text, tab kept") << u"夜班\t护士 ( ˘ω˘ )"_s << u"夜班\t护士 ( ˘ω˘ )"_s;
        QTest::newRow("line feed, NUL, DEL") << u"a\nb\u0000c\u007f"_s << u"a\\x0ab\\x00c\\x7f"_s;
        QTest::newRow("C1: NEL and CSI") << u"\u0085\u009b31m"_s << u"\\x85\\x9b31m"_s;
        QTest::newRow("line and paragraph separators") << u"a\u2028b\u2029"_s << u"a\\u2028b\\u2029"_s;
        QTest::newRow("neighbours of the ranges stay") << u" ~\u00a0\u2027\u202a"_s << u" ~\u00a0\u2027\u202a"_s;
    }

    void terminalText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(pellora::terminalText(text), shown);
    }

    // labelText for one-line labels; labelLines for a summary, whose line breaks are meant.
    void labelText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("lines");
        QTest::newRow("whitespace controls become spaces") << u"a\tb\nc\u000bd\u000ce\rf\u0085g\u2028h\u2029i\r\nj"_s
                                                           << u"a b c d e f g h i  j"_s << u"a b\nc d e f g h i\nj"_s;
        QTest::newRow("other controls dropped")
            << u"\u001b[2J\u0000x\u007f\u0080\u009b\u001f"_s << u"[2Jx"_s << u"[2Jx"_s;
        QTest::newRow("neighbours of the ranges stay")
            << u" ~\u00a0\u2027\u202a"_s << u" ~\u00a0\u2027\u202a"_s << u" ~\u00a0\u2027\u202a"_s;
    }

    void labelText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, lines);
        QCOMPARE(pellora::labelText(text), shown);
        QCOMPARE(labelLines(text), lines);
    }
};

QTEST_GUILESS_MAIN(TestControlCharacters)
#include "tst_controlcharacters.moc"
