#include "widgets/SvgIcon.h"

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
};

QTEST_MAIN(TestSvgIcon)
#include "tst_svgicon.moc"
