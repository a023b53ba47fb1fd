#include "app/DisplayModeStore.h"
#include "library/RoleLibrary.h"
#include "strip/FloatingPanel.h"
#include "strip/FloatingStripRootView.h"
#include "strip/FloatingStripView.h"
#include "strip/FloatingStripWindowController.h"
#include "strip/StripIconButton.h"
#include "support/TestSupport.h"

#include <QScreen>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// 20 px from the right and bottom edges of the primary screen's available area.
QRect corner(QSize size)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    return QRect(available.right() + 1 - 20 - size.width(), available.bottom() + 1 - 20 - size.height(), size.width(),
                 size.height());
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
        const Qt::WindowFlags flags = panel->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY((flags & Qt::WindowType_Mask) == Qt::Tool);
        QVERIFY(panel->testAttribute(Qt::WA_TranslucentBackground));
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

    void hoverGrowsUpwardKeepingTheBottomEdge()
    {
        FloatingStripWindowController controller;
        controller.showStrip(m_library.get(), m_store.get());
        FloatingPanel* panel = controller.panel();
        const int bottom = panel->geometry().bottom();
        const int compact = panel->height();

        controller.rootView()->stripView()->setHovering(true);
        QTRY_VERIFY(panel->height() > compact + 100);
        QCOMPARE(panel->geometry().bottom(), bottom);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(panel->geometry()));

        controller.rootView()->stripView()->setHovering(false);
        QTRY_COMPARE(panel->height(), compact);
        QCOMPARE(panel->geometry().bottom(), bottom);
    }
};

QTEST_MAIN(TestStripController)
#include "tst_stripcontroller.moc"
