#include "app/AppDelegate.h"
#include "app/TrayScene.h"
#include "strip/FloatingPanel.h"
#include "support/FakeLoginItem.h"
#include "support/TestSupport.h"
#include "views/ContentView.h"
#include "views/Sheet.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

class TestTrayScene : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void windowGeometry_data()
    {
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("available"); // of a 1280×800 screen at the origin unless said otherwise
        QTest::addColumn<QRect>("expected");

        const QSize size(360, 180);
        const QRect bottomPanel(0, 0, 1280, 770);
        const QRect topPanel(0, 30, 1280, 770);
        const QPoint middle(640, 400);
        // The tray reports the icon's place: beside it, facing the work area, whatever the pointer says.
        QTest::newRow("icon at the bottom")
            << QRect(1200, 772, 24, 24) << middle << bottomPanel << QRect(QPoint(920, 588), size);
        QTest::newRow("icon at the top") << QRect(600, 2, 24, 24) << middle << topPanel << QRect(QPoint(432, 30), size);
        QTest::newRow("icon at the right")
            << QRect(1248, 100, 24, 24) << middle << QRect(0, 0, 1240, 800) << QRect(QPoint(880, 22), size);
        // No icon geometry: a pointer on a panel is where the icon was clicked.
        QTest::newRow("pointer on a panel of an offset screen")
            << QRect() << QPoint(3190, 10) << QRect(1920, 28, 1280, 996) << QRect(QPoint(2840, 28), size);
        // A pointer in the work area is stale: the corner next to the panel, never mid-screen.
        QTest::newRow("stale pointer, top bar and a dock at the left")
            << QRect() << QPoint(100, 400) << QRect(64, 30, 1216, 770) << QRect(QPoint(920, 30), size);
        QTest::newRow("stale pointer, no panel")
            << QRect() << middle << QRect(0, 0, 1280, 800) << QRect(QPoint(920, 0), size);
    }

    void windowGeometry()
    {
        QFETCH(QRect, icon);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        const QRect screen = available.x() < 1280 ? QRect(0, 0, 1280, 800) : QRect(1920, 0, 1280, 1024);
        QCOMPARE(trayWindowGeometry(icon, pointer, QSize(360, 180), screen, available), expected);
    }

    // Sheets hang from the tray window's top edge, shrunk to the work area (their lists scroll).
    void sheetGeometry()
    {
        const QRect owner(920, 681, 360, 89);
        const QRect available(0, 0, 1280, 770);
        QCOMPARE(pellora::sheetGeometry(owner, QSize(375, 375), available), QRect(905, 395, 375, 375));
        QCOMPARE(pellora::sheetGeometry(owner, QSize(420, 900), available), QRect(860, 0, 420, 770));
    }

    // The clock reads the time afresh at each redraw: at each minute's end, and when shown again.
    void clockFollowsTheTime()
    {
        const auto time = std::make_shared<FakeClock>(QTime(9, 5, 59, 950));
        ContentView content(nullptr, nullptr, time);
        content.show();
        QCOMPARE(content.clock(), u"09:05"_s);
        for (const QTime jump : {QTime(13, 41, 59, 950), QTime(17, 0, 30)}) {
            time->set(jump);
            QTRY_COMPARE_WITH_TIMEOUT(content.clock(), pellora::clockText(time->now()), 2000);
        }
        // The next redraw is half a minute away.
        time->set(QTime(22, 30, 10));
        content.hide();
        content.show();
        QCOMPARE(content.clock(), u"22:30"_s);
        // Hidden, it wakes for nothing: a minute turning over goes unseen.
        time->set(QTime(23, 59, 59, 950));
        content.hide();
        content.show();
        content.hide();
        time->set(QTime(0, 0, 30));
        QTest::qWait(300);
        QCOMPARE(content.clock(), u"23:59"_s);
    }

    void firstOpeningOffersTheWelcomeOnce()
    {
        QSettings settings(m_dir.filePath(u"scene.ini"_s), QSettings::IniFormat);
        FakeLoginItem login;
        AppDelegate delegate(&settings);
        TrayScene scene(delegate, &settings, login);

        scene.openWindow();
        FloatingPanel* window = scene.window();
        QVERIFY(window && window->isVisible());
        QPointer<QWidget> welcome = child<QWidget>(*window, u"startupPermissionView"_s);
        QVERIFY(welcome->isVisible());

        // The window manager hiding the window for a moment (KWin, while Pellora is inactive) closes nothing.
        window->showMinimized();
        window->showNormal();
        QVERIFY(welcome && welcome->isVisible());

        // The user turns to another window with the sheet up: the window goes away, its sheet with it; the next
        // opening has fresh content and no second welcome.
        ContentView* first = scene.content();
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QTRY_VERIFY(!window->isVisible());
        QTRY_VERIFY(!welcome);
        scene.openWindow();
        QVERIFY(scene.content() != first);
        QVERIFY(!window->findChild<QWidget*>(u"startupPermissionView"_s));
        QVERIFY(!login.enabled); // the scene never registers by itself

        // The window's commands: the upload form opens as a sheet; Close hides the window, as Escape does.
        QVERIFY(QTest::qWaitForWindowActive(window));
        child<QAbstractButton>(*scene.content(), u"uploadButton"_s)->click();
        QWidget* upload = child<QWidget>(*window, u"uploadView"_s);
        QVERIFY(upload->isVisible() && upload->isWindow());
        upload->close();
        child<QAbstractButton>(*scene.content(), u"closeButton"_s)->click();
        QVERIFY(!window->isVisible());
        scene.openWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    // One menu, on the strip always and on the tray icon once there is one. Its launch-at-login mark shows the
    // entry as read when the menu opens and, after a change, as it really is; a refusal is told on standard
    // output and in a message box.
    void oneMenuEverywhere_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("enabledBefore");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("told");

        const QString refusal = u"cannot write /home/u/.config/autostart/pellora.desktop: Permission denied"_s;
        QTest::newRow("no tray yet, ticking") << false << false << QString() << QString();
        QTest::newRow("ticking refused") << false << false << refusal
                                         << u"Failed to enable launch at startup: "_s + refusal;
        QTest::newRow("unticking refused")
            << true << true << refusal << u"Failed to disable launch at startup: "_s + refusal;
    }

    void oneMenuEverywhere()
    {
        QFETCH(bool, tray);
        QFETCH(bool, enabledBefore);
        QFETCH(QString, failure);
        QFETCH(QString, told);
        qputenv("PELLORA_ASSUME_TRAY", tray ? "1" : "0");
        const auto restore = qScopeGuard([] { qunsetenv("PELLORA_ASSUME_TRAY"); });
        QSettings settings(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s),
                           QSettings::IniFormat);
        FakeLoginItem login;
        AppDelegate delegate(&settings);
        delegate.start();
        TrayScene scene(delegate, &settings, login);
        scene.start();
        QCOMPARE(scene.findChild<QSystemTrayIcon*>() != nullptr, tray);
        QStringList texts;
        for (const QAction* action : scene.menu().actions())
            texts.append(action->text());
        QCOMPARE(
            texts,
            (QStringList{u"打开"_s, {}, u"换一个"_s, u"角色库"_s, {}, u"显示浮窗"_s, u"登录时启动"_s, {}, u"退出"_s}));

        QAction* launchAtLogin = child<QAction>(scene.menu(), u"launchAtLoginAction"_s);
        login.enabled = enabledBefore;
        FloatingPanel* strip = delegate.stripController().panel();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(9, 9), strip->mapToGlobal(QPoint(9, 9)));
        QApplication::sendEvent(strip, &click);
        QTRY_VERIFY(scene.menu().isVisible());
        QCOMPARE(launchAtLogin->isChecked(), enabledBefore);
        scene.menu().hide();

        QSignalSpy drawn(&delegate.library(), &RoleLibrary::snapshotChanged);
        child<QAction>(scene.menu(), u"drawAction"_s)->trigger();
        QCOMPARE(drawn.count(), 1);
        child<QAction>(scene.menu(), u"libraryAction"_s)->trigger();
        const FloatingPanel* picker = delegate.stripController().pickerController().panel();
        QVERIFY(picker && picker->isVisible());

        login.failure = failure;
        launchAtLogin->trigger();
        QCOMPARE(login.enabled, failure.isEmpty() != enabledBefore);
        QCOMPARE(launchAtLogin->isChecked(), login.enabled);
        QString shown;
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (const auto* box = qobject_cast<const QMessageBox*>(window); box && box->isVisible())
                shown = box->text();
        }
        QCOMPARE(shown, told);

        child<QAction>(scene.menu(), u"showStripAction"_s)->trigger();
        QCOMPARE(settings.value(u"display_mode"_s).toString(), u"menuBarOnly"_s);
        QSignalSpy quit(&scene, &TrayScene::quitRequested);
        child<QAction>(scene.menu(), u"quitAction"_s)->trigger();
        QCOMPARE(quit.count(), 1);
    }

    // A fresh install stores its defaults and shows the strip; mode changes reach it one turn later.
    void modeChangesReachTheStrip()
    {
        QSettings settings(m_dir.filePath(u"modes.ini"_s), QSettings::IniFormat);
        AppDelegate delegate(&settings);
        QCOMPARE(settings.value(u"selected_role_id"_s).toString(), delegate.library().roles().first().id);
        QCOMPARE(settings.value(u"display_mode"_s).toString(), u"floatingStrip"_s);
        delegate.start();
        QVERIFY(delegate.stripController().panel()->isVisible());

        delegate.displayModeStore().setMode(DisplayMode::menuBarOnly);
        QTRY_VERIFY(!delegate.stripController().panel());
        delegate.setTrayIconShown(true);
        delegate.bringStripToFront(); // nothing to raise in tray-only mode: the tray icon is the way in
        QVERIFY(!delegate.stripController().panel());
        delegate.displayModeStore().setMode(DisplayMode::floatingStrip);
        QTRY_VERIFY(delegate.stripController().panel());

        // With no tray icon, starting Pellora again shows the strip, for this session only.
        delegate.displayModeStore().setMode(DisplayMode::menuBarOnly);
        QTRY_VERIFY(!delegate.stripController().panel());
        delegate.setTrayIconShown(false);
        delegate.bringStripToFront();
        FloatingPanel* panel = delegate.stripController().panel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(settings.value(u"display_mode"_s).toString(), u"menuBarOnly"_s);
        panel->hide();
        delegate.bringStripToFront();
        QVERIFY(panel->isVisible());
    }

    void storedMenuBarModeStartsWithoutStrip()
    {
        QSettings settings(m_dir.filePath(u"older.ini"_s), QSettings::IniFormat);
        settings.setValue(u"display_mode"_s, u"menuBar"_s);
        AppDelegate delegate(&settings);
        delegate.start();
        QCoreApplication::processEvents();
        QVERIFY(!delegate.stripController().panel());
        QCOMPARE(settings.value(u"display_mode"_s).toString(), u"menuBar"_s);
    }
};

QTEST_MAIN(TestTrayScene)
#include "tst_trayscene.moc"
