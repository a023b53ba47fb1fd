#include "strip/StripPlacement.h"

#include <QtTest>

using namespace pellora;

class TestStripPlacement : public QObject {
    Q_OBJECT

private slots:
    void corner_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("topLeft");

        // A 1440 × 850 area below a 25 px top bar: right edge at 1440 - 20, bottom edge at 875 - 20.
        QTest::newRow("top bar") << QRect(0, 25, 1440, 850) << QSize(560, 200) << QPoint(860, 655);
        QTest::newRow("full hd, bottom panel") << QRect(0, 0, 1920, 1040) << QSize(560, 114) << QPoint(1340, 906);
        QTest::newRow("second screen to the right")
            << QRect(1920, 0, 1280, 1024) << QSize(560, 120) << QPoint(2620, 884);
        QTest::newRow("negative origin") << QRect(-1280, -200, 1280, 1024) << QSize(560, 120) << QPoint(-580, 684);
        QTest::newRow("screen narrower than the strip")
            << QRect(0, 0, 480, 320) << QSize(560, 120) << QPoint(-100, 180);
    }

    void corner()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, size);
        QFETCH(QPoint, topLeft);
        QCOMPARE(cornerPosition(available, size), topLeft);
    }

    // The detail card opens under the compact card and closes again: the compact card holds still unless
    // the open card would leave the area, and is back where it rested once the card closes.
    void openAndClose_data()
    {
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("open");
        QTest::addColumn<QPoint>("closed");

        const QRect screen(0, 0, 1920, 1040);
        QTest::newRow("home corner grows upward just enough")
            << QPoint(1340, 906) << screen << QPoint(1340, 710) << QPoint(1340, 906);
        QTest::newRow("middle grows downward") << QPoint(600, 400) << screen << QPoint(600, 400) << QPoint(600, 400);
        QTest::newRow("near the top") << QPoint(600, 5) << screen << QPoint(600, 5) << QPoint(600, 5);
        QTest::newRow("partly under a top bar stays")
            << QPoint(600, 10) << QRect(0, 30, 1920, 1010) << QPoint(600, 10) << QPoint(600, 10);
        QTest::newRow("past the left edge") << QPoint(-200, 400) << screen << QPoint(-200, 400) << QPoint(-200, 400);
        QTest::newRow("near the bottom, past the right edge")
            << QPoint(1800, 800) << screen << QPoint(1800, 710) << QPoint(1800, 800);
        QTest::newRow("dragged below the bottom, pulled up")
            << QPoint(600, 1000) << screen << QPoint(600, 710) << QPoint(600, 926);
        QTest::newRow("taller than the area keeps the top visible")
            << QPoint(0, 100) << QRect(0, 0, 800, 300) << QPoint(0, 0) << QPoint(0, 100);
        QTest::newRow("no screen") << QPoint(0, 1000) << QRect() << QPoint(0, 1000) << QPoint(0, 1000);
    }

    void openAndClose()
    {
        QFETCH(QPoint, anchor);
        QFETCH(QRect, available);
        QFETCH(QPoint, open);
        QFETCH(QPoint, closed);
        const QSize compactSize(560, 114);
        const QSize openSize(560, 330);
        QCOMPARE(anchoredGeometry(anchor, openSize, available), QRect(open, openSize));
        QCOMPARE(anchoredGeometry(anchor, compactSize, available), QRect(closed, compactSize));
    }
};

QTEST_GUILESS_MAIN(TestStripPlacement)
#include "tst_stripplacement.moc"
