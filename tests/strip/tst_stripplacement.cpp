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
        const QPoint position = cornerPosition(available, size);
        QCOMPARE(position, topLeft);
        // The gaps measured the way a user sees them: 20 px of screen between strip and edge.
        const QRect strip(position, size);
        QCOMPARE(available.x() + available.width() - (strip.x() + strip.width()), 20);
        QCOMPARE(available.y() + available.height() - (strip.y() + strip.height()), 20);
    }

    void growsKeepingBottom_data()
    {
        QTest::addColumn<QRect>("current");
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");

        const QRect screen(0, 0, 1920, 1040);
        QTest::newRow("grow upward") << QRect(1340, 906, 560, 114) << 330 << screen << QRect(1340, 690, 560, 330);
        QTest::newRow("shrink back") << QRect(1340, 690, 560, 330) << 114 << screen << QRect(1340, 906, 560, 114);
        QTest::newRow("dragged to the top, pushed down")
            << QRect(100, 10, 560, 114) << 330 << screen << QRect(100, 0, 560, 330);
        QTest::newRow("offset screen top")
            << QRect(2000, 40, 560, 114) << 330 << QRect(1920, 30, 1280, 1024) << QRect(2000, 30, 560, 330);
        QTest::newRow("below the bottom, pulled up")
            << QRect(100, 1000, 560, 114) << 200 << screen << QRect(100, 840, 560, 200);
        QTest::newRow("taller than the screen keeps the top visible")
            << QRect(0, 200, 560, 100) << 500 << QRect(0, 0, 800, 400) << QRect(0, 0, 560, 500);
        QTest::newRow("negative origin screen")
            << QRect(-580, 684, 560, 120) << 300 << QRect(-1280, -200, 1280, 1024) << QRect(-580, 504, 560, 300);
        QTest::newRow("no screen") << QRect(0, 0, 560, 114) << 330 << QRect() << QRect(0, -216, 560, 330);
    }

    void growsKeepingBottom()
    {
        QFETCH(QRect, current);
        QFETCH(int, height);
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(resizedKeepingBottom(current, height, available), expected);
    }
};

QTEST_GUILESS_MAIN(TestStripPlacement)
#include "tst_stripplacement.moc"
