#include "widgets/EnergyMeterView.h"
#include "widgets/PastelButton.h"
#include "widgets/PixelBackground.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestPastelStyle : public QObject {
    Q_OBJECT

private slots:
    void placesTheDotGrid_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("count");
        QTest::addColumn<QPointF>("last");

        QTest::newRow("360 x 300") << QSizeF(360, 300) << 21 * 17 << QPointF(360, 288);
        QTest::newRow("17 wide: one column") << QSizeF(17, 40) << 3 << QPointF(0, 36);
        QTest::newRow("36 x 36: on both far edges") << QSizeF(36, 36) << 9 << QPointF(36, 36);
        QTest::newRow("just short of the edges") << QSizeF(35.99, 17.99) << 2 << QPointF(18, 0);
        // A running sum of 18s would drift off the edge; multiples stay exact.
        QTest::newRow("very wide") << QSizeF(18000, 18) << 1001 * 2 << QPointF(18000, 18);
    }

    void placesTheDotGrid()
    {
        QFETCH(QSizeF, size);
        const QList<QPointF> dots = pixelGridDots(size);
        QTEST(int(dots.size()), "count");
        QCOMPARE(dots.first(), QPointF(0, 0));
        QTEST(dots.last(), "last");
    }

    void paintsDotsOverTheGradient()
    {
        PixelBackground background;
        background.resize(360, 300);
        const QImage image = background.grab().toImage();
        // The 2x2 dot at (180, 180) is lighter than the plain pixel beside it.
        QVERIFY(image.pixelColor(181, 181).red() >= image.pixelColor(182, 182).red() + 2);
        QVERIFY(background.testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void pressingLowersTheFill_data()
    {
        QTest::addColumn<bool>("dragOut");
        QTest::newRow("released inside") << false;
        QTest::newRow("dragged out, then released") << true;
    }

    void pressingLowersTheFill()
    {
        QFETCH(bool, dragOut);
        // Over black, the tag's padding shows the fill's opacity as its grey level.
        QWidget host;
        host.setAutoFillBackground(true);
        host.setPalette(QPalette(Qt::black));
        auto* button = new PastelButton(u"确认"_s, &host);
        button->resize(button->sizeHint());
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        const auto fillGrey = [button] {
            return button->grab().toImage().pixelColor(6, button->height() / 2).red();
        };

        QVERIFY(qAbs(fillGrey() - 179) <= 2);
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
        QVERIFY(qAbs(fillGrey() - 102) <= 2);
        const QPoint releaseAt = dragOut ? QPoint(-20, -20) : button->rect().center();
        QTest::mouseMove(button, releaseAt);
        QTest::mouseRelease(button, Qt::LeftButton, {}, releaseAt);
        QVERIFY(qAbs(fillGrey() - 179) <= 2);
        QCOMPARE(clicked.size(), dragOut ? 0 : 1);
    }

    // The meter's whole gauge fits, and a screen reader hears the level without the blocks.
    void energyMeterFitsItsGauge()
    {
        EnergyMeterView meter;
        meter.setLevel(-3);
        QCOMPARE(meter.text(), u"energy [█░░░░]  1/5"_s);
        QCOMPARE(meter.accessibleName(), u"精力 1/5"_s);
        const QFontMetricsF metrics(meter.font());
        QVERIFY(meter.sizeHint().width() >= metrics.horizontalAdvance(meter.text()) + 20);
        QVERIFY(meter.sizeHint().height() >= metrics.height() + 12);
    }
};

QTEST_MAIN(TestPastelStyle)
#include "tst_pastelstyle.moc"
