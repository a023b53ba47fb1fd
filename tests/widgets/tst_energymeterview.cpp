#include "widgets/EnergyMeterView.h"

#include <QFontMetricsF>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestEnergyMeterView : public QObject {
    Q_OBJECT

private slots:
    void showsGaugeThatFits_data()
    {
        QTest::addColumn<std::optional<qint64>>("level");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spoken");

        QTest::newRow("unknown") << std::optional<qint64>() << u"energy [███░░]  3/5"_s << u"精力 3/5"_s;
        QTest::newRow("1") << std::optional<qint64>(1) << u"energy [█░░░░]  1/5"_s << u"精力 1/5"_s;
        QTest::newRow("5") << std::optional<qint64>(5) << u"energy [█████]  5/5"_s << u"精力 5/5"_s;
        QTest::newRow("-3") << std::optional<qint64>(-3) << u"energy [█░░░░]  1/5"_s << u"精力 1/5"_s;
        QTest::newRow("100") << std::optional<qint64>(100) << u"energy [█████]  5/5"_s << u"精力 5/5"_s;
    }

    void showsGaugeThatFits()
    {
        QFETCH(std::optional<qint64>, level);
        QFETCH(QString, text);
        QFETCH(QString, spoken);

        EnergyMeterView meter;
        meter.setLevel(level);
        QCOMPARE(meter.text(), text);
        QCOMPARE(meter.accessibleName(), spoken); // the gauge's blocks are not read out

        const QFontMetricsF metrics(meter.font());
        QCOMPARE(meter.font().pixelSize(), 12);
        QVERIFY(meter.sizeHint().width() >= metrics.horizontalAdvance(text) + 20);
        QVERIFY(meter.sizeHint().height() >= metrics.height() + 12);
        QCOMPARE(meter.minimumSizeHint(), meter.sizeHint());
    }
};

QTEST_MAIN(TestEnergyMeterView)
#include "tst_energymeterview.moc"
