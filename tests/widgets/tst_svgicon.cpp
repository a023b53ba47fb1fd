#include "support/Contrast.h"
#include "widgets/SvgIcon.h"

#include <QPainter>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

class TestSvgIcon : public QObject {
    Q_OBJECT

private slots:
    void drawsEveryIcon_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"sparkles", "die.face.5", "person.3", "xmark.circle.fill", "checkmark.circle.fill", "circle"})
            QTest::newRow(name) << QString::fromLatin1(name);
        QTest::newRow("unknown") << u"no.such.symbol"_s;
    }

    void drawsEveryIcon()
    {
        QFETCH(QString, name);
        const QIcon icon = svgIcon(name);
        QCOMPARE(icon.isNull(), name == u"no.such.symbol");
        if (icon.isNull())
            return;
        // Views asking again share the same icon, so its rendered sizes are cached once.
        QCOMPARE(svgIcon(name).cacheKey(), icon.cacheKey());
        for (const int side : {18, 48}) {
            const QImage image = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), QSize(side, side));
            int opaque = 0;
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            }
            // Something is drawn, and it is a symbol rather than a filled square.
            QVERIFY2(opaque > side * side / 50 && opaque < side * side * 9 / 10, qPrintable(QString::number(opaque)));
        }
    }

    void trayIconShowsOnBlackAndWhitePanels_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QColor>("panel");
        for (const int side : {16, 22, 24, 32}) {
            for (const qreal scale : {1.0, 2.0}) {
                for (const QColor panel : {QColor(Qt::black), QColor(Qt::white)})
                    QTest::addRow("%d px at %gx on %s", side, scale, qPrintable(panel.name()))
                        << side << scale << panel;
            }
        }
    }

    // The glyph reads when a good share of the square (a whole outline at least) stands out at 3:1.
    void trayIconShowsOnBlackAndWhitePanels()
    {
        QFETCH(int, side);
        QFETCH(qreal, scale);
        QFETCH(QColor, panel);
        QImage icon = trayIcon().pixmap(QSize(side, side), scale).toImage();
        QCOMPARE(icon.size(), QSize(side, side) * scale);
        icon.setDevicePixelRatio(1); // compared pixel for pixel
        QImage shown(icon.size(), QImage::Format_RGB32);
        shown.fill(panel);
        QPainter(&shown).drawImage(0, 0, icon);
        int standingOut = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x)
                standingOut += test::contrast(shown.pixel(x, y), panel.rgb()) >= 3.0 ? 1 : 0;
        }
        QVERIFY2(standingOut >= shown.width() * shown.height() / 10, qPrintable(QString::number(standingOut)));
    }
};

QTEST_MAIN(TestSvgIcon)
#include "tst_svgicon.moc"
