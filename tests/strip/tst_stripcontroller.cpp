#include "library/RoleLibrary.h"
#include "platform/WorkArea.h"
#include "strip/FloatingPanel.h"
#include "strip/FloatingStripView.h"
#include "strip/FloatingStripWindowController.h"
#include "strip/ShadowCache.h"
#include "strip/StripIconButton.h"
#include "strip/StripPlacement.h"
#include "support/TestSupport.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// A work area the test changes, as a panel starting or a screen changing would.
struct FakeWorkArea final : WorkArea {
    explicit FakeWorkArea(QRect area) : area(area) {}
    QRect available(const QScreen*) const override { return area; }
    void change(QRect to)
    {
        area = to;
        emit changed();
    }
    QRect area;
};

// Drags the panel by `offset` the way a user would where no window manager moves windows.
void drag(QWidget* panel, QPoint offset)
{
    const QPoint start = panel->mapToGlobal(QPoint(10, 10));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), start, Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(panel, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10) + offset, start + offset, Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(panel, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10) + offset, start + offset, Qt::LeftButton,
                        Qt::NoButton, {});
    QCoreApplication::sendEvent(panel, &release);
}

} // namespace

class TestStripController : public QObject {
    Q_OBJECT

    std::unique_ptr<RoleLibrary> m_library;

private slots:
    // 20 px in from the right and bottom edges of the area, wherever the screen lies.
    void homeCorner() { QCOMPARE(cornerPosition(QRect(-1280, -175, 1280, 1024), QSize(560, 120)), QPoint(-580, 709)); }

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

    void init()
    {
        RoleLibraryOptions options;
        const RoleEvent walk{u"00:00-24:00"_s, u"散步"_s, u"平静"_s, u"公园"_s, 4, u"独处"_s};
        options.roles = {Role{u"r"_s, u"R"_s, std::nullopt, StylePack::dynamicKaomoji, u""_s, {walk}}};
        m_library = std::make_unique<RoleLibrary>(options);
    }

    // Built and placed on the first show, refreshed in place on later ones, gone on hide, and placed afresh.
    void showAndHideLifecycle()
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        FloatingStripWindowController controller;
        controller.showStrip(m_library.get());
        QPointer<FloatingPanel> panel = controller.panel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->pos(), cornerPosition(available, panel->size()));

        const QWidget* firstView = controller.panel()->content();
        panel->move(panel->pos() - QPoint(300, 200)); // the user dragged it
        const QPoint dragged = panel->pos();
        controller.showStrip(m_library.get());
        QCOMPARE(controller.panel(), panel.data());
        QVERIFY(controller.panel()->content() != firstView); // content rebuilt
        QCOMPARE(panel->pos(), dragged);

        QTest::mouseClick(controller.panel()->content()->findChild<StripIconButton*>(u"libraryButton"_s),
                          Qt::LeftButton);
        QPointer<FloatingPanel> picker = controller.pickerController().panel();
        QVERIFY(picker && picker->isVisible());
        controller.hideStrip();
        QVERIFY(!controller.panel());
        QVERIFY(!picker);       // closed and released
        controller.hideStrip(); // harmless when hidden

        // A new panel, placed afresh, offering the menu on a right click.
        QMenu menu;
        controller.setContextMenu(&menu);
        controller.showStrip(m_library.get());
        QCOMPARE(controller.panel()->pos(), cornerPosition(available, controller.panel()->size()));
        QTRY_VERIFY(panel.isNull()); // the old panel is gone once the event loop runs
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(9, 9), controller.panel()->mapToGlobal(QPoint(9, 9)));
        QApplication::sendEvent(controller.panel(), &click);
        QTRY_VERIFY(menu.isVisible());
    }

    // The work area shrinks (a panel started). A strip where Pellora put it goes to the new corner: the compact
    // card holds still while the detail card opens and closes, unless the open card would pass the area's
    // bottom. One the user dragged stays, unless it is off every screen.
    void followsTheWorkArea_data()
    {
        QTest::addColumn<QPoint>("dragBy");
        QTest::addColumn<bool>("stays");
        QTest::newRow("in the corner, card open") << QPoint() << false;
        QTest::newRow("dragged") << QPoint(-100, -200) << true;
        QTest::newRow("dragged off every screen") << QPoint(3000, 0) << false;
    }

    void followsTheWorkArea()
    {
        QFETCH(QPoint, dragBy);
        QFETCH(bool, stays);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect withPanel = screen.adjusted(0, 0, 0, -40);
        auto area = std::make_unique<FakeWorkArea>(screen);
        FakeWorkArea* workArea = area.get();
        FloatingStripWindowController controller;
        controller.setWorkArea(std::move(area));
        controller.showStrip(m_library.get());
        FloatingPanel* panel = controller.panel();
        const QSize compact = panel->size();
        const QPoint corner = cornerPosition(screen, compact);
        QCOMPARE(panel->pos(), corner);
        if (!dragBy.isNull()) {
            drag(panel, dragBy);
            QCOMPARE(panel->pos(), corner + dragBy); // the panel follows the pointer
            workArea->change(withPanel);
            QVERIFY(withPanel.contains(panel->geometry()));
            QCOMPARE(panel->pos() == corner + dragBy, stays);
            return;
        }
        auto* view = qobject_cast<FloatingStripView*>(panel->content());
        view->setHovering(true);
        QTRY_VERIFY(panel->height() > compact.height() + 100);
        QCOMPARE(panel->geometry().bottom(), screen.bottom());
        workArea->change(withPanel);
        QCOMPARE(panel->geometry().bottom(), withPanel.bottom());
        view->setHovering(false);
        QTRY_COMPARE(panel->geometry(), QRect(cornerPosition(withPanel, compact), compact));
    }

    // Each new card size renders a shadow; the cache drops them before it grows past its bound.
    void shadowCacheKeepsItsBound()
    {
        ShadowCache cache;
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        for (int width = 20; width < 60; ++width) {
            cache.paint(painter, QRectF(10, 10, width, 30), 8, 6, {}, QColor(0, 0, 0, 40));
            QVERIFY2(cache.size() >= 1 && cache.size() <= 8, qPrintable(QString::number(cache.size())));
        }
    }
};

QTEST_MAIN(TestStripController)
#include "tst_stripcontroller.moc"
