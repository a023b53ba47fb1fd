#include "library/RoleLibrary.h"
#include "strip/ElidedLabel.h"
#include "strip/FloatingPanel.h"
#include "strip/FloatingStripView.h"
#include "strip/RolePickerController.h"
#include "strip/StripIconButton.h"
#include "support/TestSupport.h"
#include "widgets/EnergyMeterView.h"

#include <QLabel>
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

} // namespace

class TestFloatingStripView : public QObject {
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
            return result << view.accessibleName() << child<QLabel>(view, u"face"_s)->accessibleName();
        };
        QVERIFY(!view.isShowingHint());
        QCOMPARE(texts(), (QStringList{u"(｡•̀ᴗ-)✧"_s, u"夜班护士 · 林"_s, u"08:00-12:00"_s, u"写交班记录"_s,
                                       u"夜班护士 · 林，08:00-12:00，写交班记录"_s, u"表情：专注"_s}));
        auto* draw = child<StripIconButton>(view, u"drawButton"_s);
        auto* open = child<StripIconButton>(view, u"libraryButton"_s);
        QCOMPARE(draw->accessibleName(), u"换一个"_s);
        QCOMPARE(open->accessibleName(), u"角色库"_s);
        m_clock->set(QTime(3, 0));
        QTest::mouseClick(draw, Qt::LeftButton);
        QCOMPARE(texts(), (QStringList{u"( ˘ω˘ )"_s, u"阿诗"_s, u"00:00-08:00"_s, u"睡觉"_s,
                                       u"阿诗，00:00-08:00，睡觉"_s, u"表情：睡觉"_s}));

        // The picker opens centred on the screen.
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

QTEST_MAIN(TestFloatingStripView)
#include "tst_floatingstripview.moc"
