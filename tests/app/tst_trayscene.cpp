#include "app/AppDelegate.h"
#include "app/TrayScene.h"
#include "platform/LoginItem.h"
#include "strip/FloatingPanel.h"
#include "support/TestSupport.h"
#include "views/ContentView.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// Counts registrations; the scene itself must never register.
struct CountingLoginItem final : LoginItem {
    bool enable(QString*) override { return ++calls > 0; }
    bool isEnabled() const override { return calls > 0; }
    int calls = 0;
};

} // namespace

class TestTrayScene : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void windowGeometry_data()
    {
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");

        const QSize size(360, 180);
        const QRect screen(0, 0, 1280, 770);
        QTest::newRow("tray at the bottom opens upward")
            << QRect(1200, 772, 24, 24) << QPoint() << screen << QRect(QPoint(920, 588), size);
        QTest::newRow("tray at the top opens downward")
            << QRect(600, 2, 24, 24) << QPoint() << QRect(0, 30, 1280, 770) << QRect(QPoint(431, 30), size);
        QTest::newRow("no icon geometry: at the pointer")
            << QRect() << QPoint(100, 760) << screen << QRect(QPoint(0, 576), size);
        QTest::newRow("kept inside an offset screen")
            << QRect() << QPoint(3190, 10) << QRect(1920, 0, 1280, 1024) << QRect(QPoint(2840, 15), size);
    }

    void windowGeometry()
    {
        QFETCH(QRect, icon);
        QFETCH(QPoint, cursor);
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(trayWindowGeometry(icon, QSize(360, 180), available, cursor), expected);
    }

    void clockText_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("morning") << QTime(9, 5, 59) << u"09:05"_s;
        QTest::newRow("midnight") << QTime(0, 0, 1) << u"00:00"_s;
        QTest::newRow("evening, 24-hour") << QTime(21, 15) << u"21:15"_s;
    }

    void clockText()
    {
        QFETCH(QTime, time);
        QFETCH(QString, text);
        QCOMPARE(pellora::clockText(QDateTime(QDate(2026, 12, 6), time)), text);
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
    }

    void firstOpeningOffersTheWelcomeOnce()
    {
        QSettings settings(m_dir.filePath(u"scene.ini"_s), QSettings::IniFormat);
        CountingLoginItem login;
        AppDelegate delegate(&settings);
        TrayScene scene(delegate, &settings, login);

        scene.openWindow();
        FloatingPanel* window = scene.window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->width(), 360);
        QVERIFY(settings.value(u"hasLaunchedBefore"_s).toBool());
        QWidget* welcome = window->findChild<QWidget*>(u"startupPermissionView"_s);
        QVERIFY(welcome && welcome->isVisible());

        // Closing the window with the sheet up, then opening again: no second welcome, fresh content.
        ContentView* first = scene.content();
        window->hide();
        welcome->close();
        QTRY_VERIFY(!window->findChild<QWidget*>(u"startupPermissionView"_s));
        scene.openWindow();
        QVERIFY(scene.content() != first);
        QVERIFY(!window->findChild<QWidget*>(u"startupPermissionView"_s));
        QCOMPARE(login.calls, 0);
    }

    void fallbackMenuWhileNoTray()
    {
        qputenv("PELLORA_ASSUME_TRAY", "0");
        const auto restore = qScopeGuard([] { qunsetenv("PELLORA_ASSUME_TRAY"); });
        QSettings settings(m_dir.filePath(u"fallback.ini"_s), QSettings::IniFormat);
        CountingLoginItem login;
        AppDelegate delegate(&settings);
        delegate.applicationDidFinishLaunching();
        TrayScene scene(delegate, &settings, login);
        scene.start();
        QVERIFY(!scene.trayIconVisible());
        const QList<QAction*> actions = scene.menu().actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions.at(0)->text(), u"打开"_s);
        QCOMPARE(actions.at(1)->text(), u"退出"_s);
        QSignalSpy quit(&scene, &TrayScene::quitRequested);
        actions.at(1)->trigger();
        QCOMPARE(quit.count(), 1);
    }
};

QTEST_MAIN(TestTrayScene)
#include "tst_trayscene.moc"
