#include "presentation/ControlCharacters.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestControlCharacters : public QObject {
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(TestControlCharacters)
#include "tst_controlcharacters.moc"
