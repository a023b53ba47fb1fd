#include "presentation/GraphemeClusters.h"

#include <QFile>
#include <QSet>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

// Grapheme cluster boundaries against Unicode's own conformance cases.
class TestGraphemeClusters : public QObject {
    Q_OBJECT

    // Each case with its line number: hex code points, "÷" where a break must be and "×" where none may be.
    QList<std::pair<int, QString>> m_cases;

private slots:
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

QTEST_GUILESS_MAIN(TestGraphemeClusters)
#include "tst_graphemeclusters.moc"
