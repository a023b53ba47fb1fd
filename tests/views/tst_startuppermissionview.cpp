#include "platform/LoginItem.h"
#include "support/Contrast.h"
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

// Counts registrations and refuses them when given a failure text.
class FakeLoginItem final : public LoginItem {
public:
    bool enable(QString* error) override
    {
        ++calls;
        *error = failure;
        return failure.isEmpty();
    }
    bool disable(QString*) override { return true; }
    bool isEnabled() const override { return calls > 0 && failure.isEmpty(); }

    int calls = 0;
    QString failure;
};

QString textOf(const QWidget& parent, const QString& name)
{
    return child(parent, name)->property("text").toString(); // a label's or a button's
}

// Clicks through the window, so the click lands on whatever a user would hit there (by default the part's centre).
void click(QWidget& window, const QString& name, std::optional<QPoint> at = {})
{
    const auto* part = child<QWidget>(window, name);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                      part->mapTo(&window, at.value_or(part->rect().center())));
}

// Whether the option's symbol shows a blue check (an unticked circle is grey).
bool showsBlue(const QWidget& view)
{
    const QImage image = child<QWidget>(view, u"launchAtLoginSymbol"_s)->grab().toImage();
    const QColor centre = image.pixelColor(image.width() / 2 - 4, image.height() / 2 - 4);
    return centre.blue() > 200 && centre.red() < 120;
}

} // namespace

class TestStartupPermissionView : public QObject {
    Q_OBJECT

    FakeLoginItem m_loginItem;
    std::unique_ptr<StartupPermissionView> m_view;

    // Opens the dialog and ticks the option as `tick` says: a part of its row clicked, "end" the empty space at the
    // row's trailing end, or "Space"/"Enter" pressed on the row reached with Tab. Empty: left unticked.
    StartupPermissionView& present(const QString& tick = {})
    {
        m_view = std::make_unique<StartupPermissionView>(m_loginItem);
        StartupPermissionView& view = *m_view;
        view.open();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the dialog was not exposed");
        auto* row = child<QWidget>(view, u"launchAtLoginRow"_s);
        if (tick == u"Space" || tick == u"Enter")
            pressWithKeyboard(&view, row, tick == u"Space" ? Qt::Key_Space : Qt::Key_Enter);
        else if (tick == u"end")
            click(view, row->objectName(), QPoint(row->width() - 2, row->height() / 2));
        else if (!tick.isEmpty())
            click(view, tick);
        if (view.isChecked() != !tick.isEmpty() || showsBlue(view) != !tick.isEmpty())
            qFatal("the option did not follow %s", qPrintable(tick));
        return view;
    }

private slots:
    void init() { m_loginItem = FakeLoginItem(); }
    void cleanup() { m_view.reset(); }

    void startsAskingWithTheBoxUnticked()
    {
        StartupPermissionView& view = present();
        QStringList texts;
        for (const char* name : {"welcomeFace", "welcomeTitle", "welcomeSubtitle", "launchAtLoginTitle",
                                 "launchAtLoginDetail", "laterButton", "confirmButton"})
            texts.append(textOf(view, QString::fromLatin1(name)));
        QCOMPARE(texts, (QStringList{u"(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧"_s, u"欢迎来到 Pellora"_s, u"让我陪伴你的每一刻"_s,
                                     u"开启时自动启动"_s, u"应用打开时自动显示浮窗"_s, u"稍后"_s, u"确认"_s}));
        QVERIFY(!view.showsThankYou());
    }

    void closing_data()
    {
        // "确认" registers a ticked option, thanks, and closes 1.5 s later; "稍后" and Escape close at once and
        // register nothing. A refusal is shown under the option instead of thanks: the dialog stays until the user
        // unticks the option and confirms again.
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
        QTest::newRow("确认, ticked") << u"launchAtLoginDetail"_s << confirm << click << QString() << QString();
        QTest::newRow("确认, ticked, refused")
            << u"end"_s << confirm << click << u"cannot create the folder /x: Not a directory"_s
            << u"Failed to enable launch at startup: cannot create the folder /x: Not a directory"_s;
        const QString folder = u"/home/someone/"_s + u"a-long-folder-name/"_s.repeated(6);
        QTest::newRow("refused, long, with control characters")
            << u"launchAtLoginRow"_s << confirm << click
            << u"\x1b[2Jcannot write\r\n%1\u2028x\u0085: Is a directory\u2029"_s.arg(folder)
            << u"Failed to enable launch at startup: [2Jcannot write%1 x: Is a directory "_s.arg(folder);
        QTest::newRow("确认, Enter") << u"Enter"_s << confirm << Qt::Key_Return << QString() << QString();
        QTest::newRow("Escape, even ticked")
            << u"launchAtLoginRow"_s << later << Qt::Key_Escape << QString() << QString();
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
        // The dialog grows to show a refusal, which the offscreen platform remarks on.
        if (!failure.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        QElapsedTimer clock;
        clock.start();
        if (!key)
            click(view, button);
        else
            pressWithKeyboard(&view, key == Qt::Key_Escape ? nullptr : child<QWidget>(view, button), key);

        const int registrations = button == u"confirmButton"_s && !tick.isEmpty() ? 1 : 0;
        QCOMPARE(m_loginItem.calls, registrations);
        QCOMPARE(refusals.count() ? refusals.at(0).at(0).toString() : QString(), failure);
        if (!failure.isEmpty()) {
            auto* label = child<QLabel>(view, u"launchAtLoginFailure"_s);
            QVERIFY(label->isVisible() && !view.showsThankYou());
            QCOMPARE(label->text(), shown);
            // All of it in the dialog, wrapped to its width, in a readable colour.
            QVERIFY(label->width() >= label->minimumSizeHint().width());
            QVERIFY(view.height() >= view.heightForWidth(view.width()));
            const QImage drawn = view.grab(QRect(label->mapTo(&view, QPoint()), label->size())).toImage();
            QVERIFY(measure(drawn, drawn.rect()).ratio() >= 4.5);
            // Unticked and confirmed again, it thanks and closes 1.5 s after that confirmation.
            QTest::qWait(200);
            click(view, u"launchAtLoginRow"_s);
            QVERIFY(!view.isChecked() && !showsBlue(view));
            clock.start();
            click(view, button);
        }
        if (button == u"confirmButton"_s) {
            QVERIFY(!child<QWidget>(view, u"mainContent"_s)->isVisible());
            QVERIFY(view.showsThankYou());
            QCOMPARE(textOf(view, u"thankYouFace"_s), u"(´▽｀)ノ"_s);
            QCOMPARE(textOf(view, u"thankYouText"_s), u"谢谢~"_s);
            QTRY_VERIFY_WITH_TIMEOUT(!view.isVisible(), 4000);
            QVERIFY2(clock.elapsed() >= 1490, qPrintable(QString::number(clock.elapsed())));
        }
        QVERIFY(!view.isVisible());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_loginItem.calls, registrations);
    }

    // A confirmation's dismissal is never cancelled: it must leave a later presentation alone and must not touch a
    // destroyed dialog (under the sanitizers a touch fails here).
    void pendingDismissalOutlivesItsPresentation()
    {
        StartupPermissionView& view = present(u"launchAtLoginRow"_s);
        click(view, u"confirmButton"_s);
        view.reject();
        view.open();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!view.isChecked() && !view.showsThankYou());
        QTest::qWait(1700);
        QVERIFY(view.isVisible());

        click(view, u"confirmButton"_s);
        m_view.reset();
        QTest::qWait(1700);
    }
};

QTEST_MAIN(TestStartupPermissionView)
#include "tst_startuppermissionview.moc"
