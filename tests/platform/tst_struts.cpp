#include "platform/Struts.h"

#include <QtTest>

using namespace pellora;

using Cardinals = QList<quint32>;
using Struts = QList<Cardinals>;

class TestStruts : public QObject {
    Q_OBJECT

private slots:
    // Two monitors side by side on a 3200 × 1080 root: the primary 1920 × 1080 on the left, a shorter
    // 1280 × 1024 one on its right. Struts count from the root's edges.
    void workArea_data()
    {
        QTest::addColumn<QRect>("monitor");
        QTest::addColumn<Cardinals>("published");
        QTest::addColumn<Struts>("struts");
        QTest::addColumn<QRect>("expected");

        const QRect primary(0, 0, 1920, 1080);
        const QRect secondary(1920, 0, 1280, 1024);
        const Cardinals bottomOfPrimary{0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 1919};
        const Cardinals topOfSecondary{0, 0, 30, 0, 0, 0, 0, 0, 1920, 3199, 0, 0};
        const Cardinals bottomOfBoth{0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 3199};
        // At the bottom of the shorter monitor: 86 px from the root's bottom edge.
        const Cardinals bottomOfSecondary{0, 0, 0, 86, 0, 0, 0, 0, 0, 0, 1920, 3199};
        const Cardinals leftOfPrimary{48, 0, 0, 0, 0, 1079, 0, 0, 0, 0, 0, 0};
        const Cardinals leftOfSecondary{1968, 0, 0, 0, 0, 1023, 0, 0, 0, 0, 0, 0};

        const auto row = [](const char* tag, QRect monitor, const Struts& struts, QRect expected,
                            const Cardinals& published = {}) {
            QTest::newRow(tag) << monitor << published << struts << expected;
        };
        row("panels of the secondary, seen from the primary", primary, {topOfSecondary, bottomOfSecondary}, primary);
        row("top panel on the secondary", secondary, {topOfSecondary}, QRect(1920, 30, 1280, 994));
        row("panel across both, below the shorter monitor", secondary, {bottomOfBoth}, secondary);
        row("bottom panel of the shorter monitor", secondary, {bottomOfSecondary}, QRect(1920, 0, 1280, 994));
        row("vertical panel and a bottom panel", primary, {leftOfPrimary, bottomOfPrimary}, QRect(48, 0, 1872, 1050));
        row("panel on an inner edge covers the other monitor whole", primary, {leftOfSecondary, bottomOfPrimary},
            QRect(0, 0, 1920, 1050));
        row("panel on an inner edge", secondary, {leftOfSecondary}, QRect(1968, 0, 1232, 1024));
        row("older strut spans its whole edge", secondary, {Cardinals{0, 0, 0, 86}}, QRect(1920, 0, 1280, 994));
        row("published work area of the monitor first", primary, {bottomOfPrimary}, QRect(0, 0, 1920, 1040),
            Cardinals{1920, 0, 1280, 1024, 0, 0, 1920, 1040});
    }

    void workArea()
    {
        QFETCH(QRect, monitor);
        QFETCH(Cardinals, published);
        QFETCH(Struts, struts);
        QFETCH(QRect, expected);
        QCOMPARE(monitorWorkArea(monitor, {QSize(3200, 1080), published, struts}), expected);
    }
};

QTEST_GUILESS_MAIN(TestStruts)
#include "tst_struts.moc"
