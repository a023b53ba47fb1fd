#include "support/Contrast.h"
#include "support/FakeLoginItem.h"
#include "support/Keyboard.h"
#include "support/TestSupport.h"
#include "views/StartupPermissionView.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// Clicks through the window, so the click lands on whatever a user would hit at the part's centre.
void click(QWidget& window, const QString& name)
{
    const auto* part = child<QWidget>(window, name);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, part->mapTo(&window, part->rect().center()));
}

} // namespace

class TestStartupPermissionView : public QObject {
    Q_OBJECT

    FakeLoginItem m_loginItem;
    std::unique_ptr<StartupPermissionView> m_view;

    // Opens the dialog and ticks the option: "click" clicks its row, "Space" presses Space on the row reached with Tab.
    StartupPermissionView& present(const QString& tick = {})
    {
        m_view = std::make_unique<StartupPermissionView>(m_loginItem);
        m_view->open();
        if (!QTest::qWaitForWindowExposed(m_view.get()))
            qFatal("the dialog was not exposed");
        if (tick == u"Space")
            pressWithKeyboard(m_view.get(), child<QWidget>(*m_view, u"launchAtLoginRow"_s), Qt::Key_Space);
        else if (!tick.isEmpty())
            click(*m_view, u"launchAtLoginRow"_s);
        if (m_view->isChecked() != !tick.isEmpty())
            qFatal("the option did not follow %s", qPrintable(tick));
        return *m_view;
    }

private slots:
    void init() { m_loginItem = FakeLoginItem(); }
    void cleanup() { m_view.reset(); }

    void closing_data()
    {
        // "确认" registers a ticked option, thanks, and closes 1.5 s later; "稍后" and Escape close at once. A refusal
        // shows under the option instead of thanks, until the user unticks the option and confirms again.
        QTest::addColumn<QString>("tick"); // how the option is ticked, as present() takes it
        QTest::addColumn<QString>("button");
        QTest::addColumn<Qt::Key>("key"); // none: a click; else reached with Tab and pressed with the key
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("shown");

        const QString confirm = u"confirmButton"_s;
        const QString later = u"laterButton"_s;
        const auto click = Qt::Key(0);
        QTest::newRow("稍后, even ticked") << u"Space"_s << later << click << QString() << QString();
        QTest::newRow("确认, unticked") << QString() << confirm << click << QString() << QString();
        QTest::newRow("确认, ticked, refused")
            << u"click"_s << confirm << click << u"cannot create the folder /x: Not a directory"_s
            << u"Failed to enable launch at startup: cannot create the folder /x: Not a directory"_s;
        const QString folder = u"/home/someone/"_s + u"a-long-folder-name/"_s.repeated(6);
        QTest::newRow("refused, long, with control characters")
            << u"Space"_s << confirm << click
            << u"\x1b[2Jcannot write\r\n%1\u2028x\u0085: Is a directory\u2029"_s.arg(folder)
            << u"Failed to enable launch at startup: [2Jcannot write%1 x: Is a directory "_s.arg(folder);
        QTest::newRow("确认, Enter") << u"Space"_s << confirm << Qt::Key_Return << QString() << QString();
        QTest::newRow("Escape, even ticked") << u"click"_s << later << Qt::Key_Escape << QString() << QString();
    }

    void closing()
    {
        QFETCH(QString, tick);
        QFETCH(QString, button);
        QFETCH(Qt::Key, key);
        QFETCH(QString, failure);
        QFETCH(QString, shown);

        m_loginItem.failure = failure;
        StartupPermissionView& view = present(tick);
        QSignalSpy finished(&view, &QDialog::finished);
        QSignalSpy refusals(&view, &StartupPermissionView::launchAtLoginFailed);
        if (!failure.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        QElapsedTimer clock;
        clock.start();
        if (!key)
            click(view, button);
        else
            pressWithKeyboard(&view, key == Qt::Key_Escape ? nullptr : child<QWidget>(view, button), key);

        const int registrations = button == u"confirmButton"_s && !tick.isEmpty() ? 1 : 0;
        QCOMPARE(m_loginItem.changes, registrations);
        QCOMPARE(refusals.count() ? refusals.at(0).at(0).toString() : QString(), failure);
        if (!failure.isEmpty()) {
            auto* label = child<QLabel>(view, u"launchAtLoginFailure"_s);
            QVERIFY(label->isVisible() && !view.showsThankYou());
            QCOMPARE(label->text(), shown); // all of it, wrapped to the dialog's width, readable
            QVERIFY(label->width() >= label->minimumSizeHint().width());
            QVERIFY(view.height() >= view.heightForWidth(view.width()));
            const QImage drawn = view.grab(QRect(label->mapTo(&view, QPoint()), label->size())).toImage();
            QVERIFY(measure(drawn, drawn.rect()).ratio() >= 4.5);
            QTest::qWait(200);
            click(view, u"launchAtLoginRow"_s);
            QVERIFY(!view.isChecked());
            clock.start();
            click(view, button);
        }
        if (button == u"confirmButton"_s) {
            QVERIFY(!child<QWidget>(view, u"mainContent"_s)->isVisible() && view.showsThankYou());
            QCOMPARE(child<QLabel>(view, u"thankYouFace"_s)->text(), u"(´▽｀)ノ"_s);
            QCOMPARE(child<QLabel>(view, u"thankYouText"_s)->text(), u"谢谢~"_s);
            QTRY_VERIFY_WITH_TIMEOUT(!view.isVisible(), 4000);
            QVERIFY2(clock.elapsed() >= 1490, qPrintable(QString::number(clock.elapsed())));
        }
        QVERIFY(!view.isVisible());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_loginItem.changes, registrations);
    }

    // Reopened after a confirmation, the dialog asks afresh; the confirmation's pending dismissal leaves it alone
    // and must not touch a destroyed dialog (under the sanitizers a touch fails here).
    void reopensAskingAfresh()
    {
        StartupPermissionView& view = present(u"click"_s);
        click(view, u"confirmButton"_s);
        view.reject();
        view.open();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!view.isChecked() && !view.showsThankYou());
        QStringList texts;
        for (const char* name : {"welcomeFace", "welcomeTitle", "welcomeSubtitle", "launchAtLoginTitle",
                                 "launchAtLoginDetail", "laterButton", "confirmButton"})
            texts.append(child(view, QString::fromLatin1(name))->property("text").toString());
        QCOMPARE(texts, (QStringList{u"(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧"_s, u"欢迎来到 Pellora"_s, u"让我陪伴你的每一刻"_s,
                                     u"开启时自动启动"_s, u"应用打开时自动显示浮窗"_s, u"稍后"_s, u"确认"_s}));
        QTest::qWait(1700);
        QVERIFY(view.isVisible());

        click(view, u"confirmButton"_s);
        m_view.reset();
        QTest::qWait(1700);
    }
};

QTEST_MAIN(TestStartupPermissionView)
#include "tst_startuppermissionview.moc"
