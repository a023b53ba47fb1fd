#include "app/DisplayModeStore.h"
#include "library/RoleLibrary.h"
#include "strip/FloatingPanel.h"
#include "strip/FloatingStripRootView.h"
#include "strip/FloatingStripView.h"
#include "strip/FloatingStripWindowController.h"
#include "strip/StripIconButton.h"
#include "strip/StripPlacement.h"
#include "support/TestSupport.h"

#include <QScreen>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// Placed by the rule the placement table checks, on the primary screen's available area.
QRect corner(QSize size)
{
    return QRect(cornerPosition(QGuiApplication::primaryScreen()->availableGeometry(), size), size);
}

} // namespace

class TestStripController : public QObject {
    Q_OBJECT

    std::unique_ptr<RoleLibrary> m_library;
    std::unique_ptr<DisplayModeStore> m_store;

private slots:
    void init()
    {
        RoleLibraryOptions options;
        const RoleEvent walk{u"00:00-24:00"_s, u"散步"_s, u"平静"_s, u"公园"_s, 4, u"独处"_s};
        options.roles = {Role{u"r"_s, u"R"_s, std::nullopt, StylePack::dynamicKaomoji, u""_s, {walk}}};
        m_library = std::make_unique<RoleLibrary>(options);
        m_store = std::make_unique<DisplayModeStore>(nullptr);
    }

    void cleanup()
    {
        m_store.reset();
        m_library.reset();
    }

    // Built and placed on the first show, refreshed in place on later ones, gone on hide, and placed afresh.
    void showAndHideLifecycle()
    {
        FloatingStripWindowController controller;
        QVERIFY(!controller.panel());
        controller.showStrip(m_library.get(), m_store.get());
        QPointer<FloatingPanel> panel = controller.panel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->width(), 560);
        QCOMPARE(panel->geometry(), corner(panel->size()));
        QVERIFY(panel->height() < 200); // follows the compact content, not a fixed height

        FloatingStripRootView* firstRoot = controller.rootView();
        panel->move(panel->pos() - QPoint(300, 200)); // the user dragged it
        const QPoint dragged = panel->pos();
        controller.showStrip(m_library.get(), m_store.get());
        QCOMPARE(controller.panel(), panel.data());
        QVERIFY(controller.rootView() != firstRoot); // content rebuilt
        QCOMPARE(panel->pos(), dragged);
        QVERIFY(!controller.rootView()->stripView()->isHovering());

        QTest::mouseClick(controller.rootView()->findChild<StripIconButton*>(u"libraryButton"_s), Qt::LeftButton);
        QPointer<FloatingPanel> picker = controller.modalManager().pickerPanel();
        QVERIFY(picker && picker->isVisible());
        controller.hideStrip();
        QVERIFY(!controller.panel());
        QVERIFY(!picker); // closed and released
        QVERIFY(!panel || panel->isHidden());
        controller.hideStrip(); // harmless when hidden

        controller.showStrip(m_library.get(), m_store.get());
        QVERIFY(controller.panel() != panel.data() || panel.isNull());
        QCOMPARE(controller.panel()->geometry(), corner(controller.panel()->size()));
        QTRY_VERIFY(panel.isNull()); // the old panel is gone once the event loop runs
    }

    // The compact card holds still while the detail card opens and closes, unless the open card would pass
    // the screen's bottom; `before` moves the strip from its corner first, `during` drags it while open.
    void detailCardKeepsTheCompactCardStill_data()
    {
        QTest::addColumn<QPoint>("before");
        QTest::addColumn<QPoint>("during");
        QTest::newRow("home corner") << QPoint() << QPoint();
        QTest::newRow("middle of the screen") << QPoint(-100, -300) << QPoint();
        QTest::newRow("dragged while open") << QPoint() << QPoint(-200, -200);
    }

    void detailCardKeepsTheCompactCardStill()
    {
        QFETCH(QPoint, before);
        QFETCH(QPoint, during);
        FloatingStripWindowController controller;
        controller.showStrip(m_library.get(), m_store.get());
        FloatingPanel* panel = controller.panel();
        const int compact = panel->height();
        panel->move(panel->pos() + before);
        const QPoint resting = panel->pos();

        controller.rootView()->stripView()->setHovering(true);
        QTRY_VERIFY(panel->height() > compact + 100);
        // From the corner it moves up just far enough to end at the bottom of the available area.
        const int bottom = QGuiApplication::primaryScreen()->availableGeometry().bottom();
        QCOMPARE(panel->pos(), before.isNull() ? QPoint(resting.x(), bottom + 1 - panel->height()) : resting);
        panel->move(panel->pos() + during);
        const QPoint dropped = panel->pos();
        controller.rootView()->stripView()->setHovering(false);
        QTRY_COMPARE(panel->height(), compact);
        QCOMPARE(panel->pos(), during.isNull() ? resting : dropped);
    }
};

QTEST_MAIN(TestStripController)
#include "tst_stripcontroller.moc"
