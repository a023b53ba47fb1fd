#include "library/RoleLibrary.h"
#include "platform/WorkArea.h"
#include "strip/ElidedLabel.h"
#include "strip/FloatingPanel.h"
#include "strip/FloatingStripView.h"
#include "strip/FloatingStripWindowController.h"
#include "strip/RolePickerController.h"
#include "strip/ShadowCache.h"
#include "strip/StripIconButton.h"
#include "strip/StripPlacement.h"
#include "support/TestSupport.h"
#include "widgets/EnergyMeterView.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

RoleEvent makeEvent(const QString& time, const QString& activity, const QString& mood = u"平静"_s)
{
    return RoleEvent{time, activity, mood, u"病房"_s, std::nullopt, u"独处"_s};
}

Role nurse(std::optional<QString> displayName = u"夜班护士"_s)
{
    const QList<RoleEvent> day{makeEvent(u"00:00-08:00"_s, u"睡觉"_s, u"睡得很沉"_s),
                               makeEvent(u"08:00-12:00"_s, u"写交班记录"_s),
                               makeEvent(u"12:00-24:00"_s, QString(39, QChar(0x503C)), u""_s)};
    return Role{u"nurse"_s, u"林"_s, displayName, StylePack::classicKaomoji, u""_s, day};
}

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
    std::shared_ptr<FakeClock> m_clock;
    std::unique_ptr<RolePickerController> m_picker;
    std::unique_ptr<FloatingStripView> m_view;

    // A shown strip on a library of `roles` at `time`; the draw always picks the second role.
    FloatingStripView& present(QList<Role> roles, QTime time = QTime(9, 0))
    {
        m_clock = std::make_shared<FakeClock>(time);
        RoleLibraryOptions options;
        options.roles = std::move(roles);
        options.clock = m_clock;
        options.packPath = u"/nonexistent/roles.json"_s;
        options.randomWord = [] {
            return 1u;
        };
        m_library = std::make_unique<RoleLibrary>(options);
        m_picker = std::make_unique<RolePickerController>();
        m_picker->setLibrary(m_library.get());
        m_view = std::make_unique<FloatingStripView>(m_library.get(), m_picker.get());
        m_view->show();
        if (!QTest::qWaitForWindowExposed(m_view.get()))
            qFatal("the strip was not exposed");
        return *m_view;
    }

private slots:
    void cleanup()
    {
        m_view.reset();
        m_picker.reset();
        m_library.reset();
    }

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
        options.roles = {nurse()};
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

    // The buttons reach the library and the picker; the compact card follows the library's snapshot.
    void compactCardFollowsTheSnapshot()
    {
        Role other = nurse(std::nullopt);
        other.id = u"other"_s;
        other.name = u"阿诗"_s;
        FloatingStripView& view = present({nurse(), other});
        const auto texts = [&view] {
            QStringList result;
            for (const QString& name : {u"face"_s, u"title"_s, u"time"_s, u"event"_s})
                result << child<QLabel>(view, name)->text();
            // What a screen reader says: the strip by role, time and activity, the face by its mood in words.
            return result << view.accessibleName() << child<QLabel>(view, u"face"_s)->accessibleName()
                          << view.accessibleDescription().section(u'。', 0, 0); // then the next events
        };
        QVERIFY(!view.isShowingHint());
        QCOMPARE(texts(), (QStringList{u"(｡•̀ᴗ-)✧"_s, u"夜班护士 · 林"_s, u"08:00-12:00"_s, u"写交班记录"_s,
                                       u"夜班护士 · 林，08:00-12:00，写交班记录"_s, u"表情：专注"_s,
                                       u"心情：平静，地点：病房，精力 3/5"_s}));
        auto* draw = child<StripIconButton>(view, u"drawButton"_s);
        auto* open = child<StripIconButton>(view, u"libraryButton"_s);
        QCOMPARE(draw->accessibleName(), u"换一个"_s);
        QCOMPARE(open->accessibleName(), u"角色库"_s);
        m_clock->set(QTime(3, 0));
        QTest::mouseClick(draw, Qt::LeftButton);
        QCOMPARE(texts(),
                 (QStringList{u"( ˘ω˘ )"_s, u"阿诗"_s, u"00:00-08:00"_s, u"睡觉"_s, u"阿诗，00:00-08:00，睡觉"_s,
                              u"表情：睡觉"_s, u"心情：睡得很沉，地点：病房，精力 3/5"_s}));

        QTest::mouseClick(open, Qt::LeftButton);
        const FloatingPanel* panel = m_picker->panel();
        QVERIFY(panel && panel->isVisible());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(panel->geometry(), QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(420, 520), screen));
    }

    void hintWhenNothingIsCurrent()
    {
        FloatingStripView& view = present({});
        QVERIFY(view.isShowingHint());
        QCOMPARE(child<QLabel>(view, u"hintText"_s)->text(), u"还没有角色，去菜单挑一个~"_s);
        view.setHovering(true);
        QVERIFY(!view.isHovering()); // the hint has no detail card

        // A current event brings the cards; losing it, even with the detail card open, brings the hint back.
        m_library->select(nurse());
        QVERIFY(!view.isShowingHint());
        view.setHovering(true);
        m_library->select(Role{u"r"_s, u"R"_s, {}, StylePack::textOnly, u""_s, {makeEvent(u"noon"_s, u"x"_s)}});
        QVERIFY(view.isShowingHint());
        QVERIFY(!view.isHovering());
    }

    void hoverOpensAndClosesTheDetailCard()
    {
        FloatingStripView& view = present({nurse()}, QTime(13, 0));
        view.resize(560, view.heightForWidth(560));
        const int compactHeight = view.heightForWidth(560);
        QWidget* slot = child<QWidget>(view, u"detailSlot"_s);
        QCursor::setPos(view.mapToGlobal(QPoint(100, 40))); // resting on the compact card
        QTRY_VERIFY(view.isHovering() && !slot->isHidden());
        QVERIFY(view.heightForWidth(560) > compactHeight + 100);
        QTRY_COMPARE(view.revealProgress(), 1.0);
        // The window shape used without a compositor covers both cards once the detail card is in.
        const QRect shape = view.cardsRegion().boundingRect();
        const QRect detail = child<QWidget>(view, u"detailCard"_s)->geometry().translated(slot->mapTo(&view, QPoint()));
        QVERIFY(shape.contains(detail.adjusted(24, 24, -24, -24)));

        QCOMPARE(child<ElidedLabel>(view, u"mood"_s)->text(), u"—"_s);
        QCOMPARE(child<ElidedLabel>(view, u"location"_s)->text(), u"@ 病房"_s);
        // The meter's whole gauge fits, and a screen reader hears the level without the blocks.
        const auto* meter = child<EnergyMeterView>(view, u"meter"_s);
        QCOMPARE(meter->accessibleName(), u"精力 3/5"_s);
        QVERIFY(meter->width() >= QFontMetricsF(meter->font()).horizontalAdvance(meter->text()) + 20);
        QCOMPARE(child<QLabel>(view, u"upcoming0"_s)->text(), u"→ 00:00-08:00 · 睡觉"_s);
        QCOMPARE(child<QLabel>(view, u"upcoming2"_s)->text(),
                 u"→ 12:00-24:00 · "_s + QString(38, QChar(0x503C)) + u"…"_s);

        QCursor::setPos(view.mapToGlobal(QPoint(100, -100)));
        QCoreApplication::processEvents();
        QVERIFY(!view.isHovering());
        QTRY_VERIFY(slot->isHidden());
        QCOMPARE(view.heightForWidth(560), compactHeight);
    }

    // The detail card opens once the pointer rests on the cards, not while it crosses them, however slowly.
    void restingOpensTheDetailCard_data()
    {
        QTest::addColumn<QList<QPoint>>("path"); // visited 50 ms apart, in the view's coordinates
        QTest::addColumn<bool>("opens");
        const QList<QPoint> along{{20, 40}, {60, 40}, {100, 40}, {140, 40}, {180, 40}, {220, 40}, {260, 40}};
        QTest::newRow("passes over") << QList<QPoint>{{100, 40}, {100, -100}} << false;
        QTest::newRow("crosses slowly") << along + QList<QPoint>{{600, 40}} << false;
        QTest::newRow("moves, then rests") << along << true;
    }

    void restingOpensTheDetailCard()
    {
        QFETCH(QList<QPoint>, path);
        QFETCH(bool, opens);
        const FloatingStripView& view = present({nurse()});
        for (const QPoint& point : path) {
            QCursor::setPos(view.mapToGlobal(point));
            QTest::qWait(50);
            QVERIFY(!view.isHovering());
        }
        QTest::qWait(400);
        QTRY_COMPARE(view.isHovering(), opens);
    }
};

QTEST_MAIN(TestStripController)
#include "tst_stripcontroller.moc"
