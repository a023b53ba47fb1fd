#include "presentation/EnergyMeterView.h"
#include "presentation/QtColor.h"

#include <QFontMetricsF>
#include <QImage>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

// The meter alone on a transparent canvas, without any window background.
QImage render(EnergyMeterView& meter)
{
    meter.resize(meter.sizeHint());
    QImage image(meter.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    meter.render(&image, {}, {}, QWidget::RenderFlags());
    return image;
}

bool near(const QColor& actual, const QColor& expected)
{
    const int tolerance = 3;
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

} // namespace

class TestEnergyMeterView : public QObject {
    Q_OBJECT

private slots:
    void showsGaugeThatFits_data()
    {
        QTest::addColumn<std::optional<qint64>>("level");
        QTest::addColumn<QString>("text");

        QTest::newRow("unknown") << std::optional<qint64>() << u"energy [███░░]  3/5"_s;
        QTest::newRow("1") << std::optional<qint64>(1) << u"energy [█░░░░]  1/5"_s;
        QTest::newRow("5") << std::optional<qint64>(5) << u"energy [█████]  5/5"_s;
        QTest::newRow("-3") << std::optional<qint64>(-3) << u"energy [█░░░░]  1/5"_s;
        QTest::newRow("100") << std::optional<qint64>(100) << u"energy [█████]  5/5"_s;
    }

    void showsGaugeThatFits()
    {
        QFETCH(std::optional<qint64>, level);
        QFETCH(QString, text);

        EnergyMeterView meter;
        meter.setLevel(level);
        QCOMPARE(meter.text(), text);
        QCOMPARE(meter.accessibleName(), text);

        const QFontMetricsF metrics(meter.font());
        QCOMPARE(meter.font().pixelSize(), 12);
        QVERIFY(meter.sizeHint().width() >= metrics.horizontalAdvance(text) + 20);
        QVERIFY(meter.sizeHint().height() >= metrics.height() + 12);
        QCOMPARE(meter.minimumSizeHint(), meter.sizeHint());
    }

    void paintsCapsuleInPaletteColours_data()
    {
        QTest::addColumn<StylePack>("pack");
        QTest::newRow("classic") << StylePack::classicKaomoji;
        QTest::newRow("dynamic") << StylePack::dynamicKaomoji;
        QTest::newRow("text only") << StylePack::textOnly;
    }

    void paintsCapsuleInPaletteColours()
    {
        QFETCH(StylePack, pack);

        EnergyMeterView meter;
        meter.setStylePalette(stylePalette(pack));
        const QImage image = render(meter);
        const int middle = image.height() / 2;

        // Rounded ends: the corners stay clear.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
        // Inside the left end, before the text starts: the fill at 0.7.
        const QColor fill = image.pixelColor(5, middle);
        QVERIFY2(near(fill, toQColor(stylePalette(pack).background, 0.7)), qPrintable(fill.name(QColor::HexArgb)));
        // The outline runs along the top edge and is closer to the accent colour than to the fill.
        const QColor edge = image.pixelColor(image.width() / 2, 0);
        QVERIFY(edge.alpha() > fill.alpha());
    }
};

QTEST_MAIN(TestEnergyMeterView)
#include "tst_energymeterview.moc"
