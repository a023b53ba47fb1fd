#include "platform/LoginItem.h"
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

QWidget* child(const QWidget& parent, const QString& name)
{
    auto* widget = parent.findChild<QWidget*>(name);
    if (!widget)
        qFatal("no child named %s", qPrintable(name));
    return widget;
}

QString textOf(const QWidget& parent, const QString& name)
{
    return child(parent, name)->property("text").toString(); // a label's or a button's
}

// Clicks through the window, so the click lands on whatever a user would hit there.
void clickAt(QWidget& window, const QWidget* widget, QPoint point)
{
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, widget->mapTo(&window, point));
}

void click(QWidget& window, const QString& name)
{
    const QWidget* widget = child(window, name);
    clickAt(window, widget, widget->rect().center());
}

// Whether the option's symbol shows a blue check (an unticked circle is grey).
bool showsBlue(QWidget* symbol)
{
    const QImage image = symbol->grab().toImage();
    const QColor centre = image.pixelColor(image.width() / 2 - 4, image.height() / 2 - 4);
    return centre.blue() > 200 && centre.red() < 120;
}

// The contrast ratio of the darkest ink in `image` against its lightest pixel, the background.
double inkContrast(const QImage& image)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    double darkest = 1, lightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const double luminance = 0.2126 * linear(qRed(p)) + 0.7152 * linear(qGreen(p)) + 0.0722 * linear(qBlue(p));
            darkest = std::min(darkest, luminance);
            lightest = std::max(lightest, luminance);
        }
    }
    return (lightest + 0.05) / (darkest + 0.05);
}

} // namespace

class TestStartupPermissionView : public QObject {
    Q_OBJECT

    FakeLoginItem m_loginItem;
    std::unique_ptr<StartupPermissionView> m_view;

    StartupPermissionView& present(bool ticked = false)
    {
        m_view = std::make_unique<StartupPermissionView>(m_loginItem);
        m_view->open();
        if (!QTest::qWaitForWindowExposed(m_view.get()))
            qFatal("the dialog was not exposed");
        if (ticked)
            click(*m_view, u"launchAtLoginRow"_s);
        return *m_view;
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
        QVERIFY(!view.isChecked());
        QVERIFY(!showsBlue(child(view, u"launchAtLoginSymbol"_s)));
        QVERIFY(!child(view, u"thankYouContent"_s)->isVisible());
        QVERIFY(view.width() >= 340);
        // Both buttons at the trailing end, "确认" last.
        const QWidget* confirm = child(view, u"confirmButton"_s);
        QVERIFY(child(view, u"laterButton"_s)->geometry().right() < confirm->geometry().left());
        QCOMPARE(confirm->mapTo(&view, confirm->rect().topRight()).x(), view.width() - 21);
    }

    void theWholeRowFlipsTheBox_data()
    {
        QTest::addColumn<QString>("part"); // clicked at its centre; none: the empty space at the row's trailing end
        QTest::addColumn<Qt::Key>("key");  // instead, the row reached with Tab and this key pressed
        QTest::newRow("symbol") << u"launchAtLoginSymbol"_s << Qt::Key(0);
        QTest::newRow("title") << u"launchAtLoginTitle"_s << Qt::Key(0);
        QTest::newRow("detail") << u"launchAtLoginDetail"_s << Qt::Key(0);
        QTest::newRow("empty trailing space") << QString() << Qt::Key(0);
        QTest::newRow("Space") << QString() << Qt::Key_Space;
        QTest::newRow("Enter") << QString() << Qt::Key_Enter;
    }

    void theWholeRowFlipsTheBox()
    {
        QFETCH(QString, part);
        QFETCH(Qt::Key, key);
        StartupPermissionView& view = present();
        const QWidget* row = child(view, u"launchAtLoginRow"_s);
        const QWidget* target = part.isEmpty() ? row : child(view, part);
        const QPoint point = part.isEmpty() ? QPoint(row->width() - 2, row->height() / 2) : target->rect().center();
        for (const bool ticked : {true, false}) {
            if (key)
                pressWithKeyboard(&view, child(view, u"launchAtLoginRow"_s), key);
            else
                clickAt(view, target, point);
            QCOMPARE(view.isChecked(), ticked);
            QCOMPARE(showsBlue(child(view, u"launchAtLoginSymbol"_s)), ticked);
        }
        QCOMPARE(m_loginItem.calls, 0);
    }

    void closing_data()
    {
        // "确认" registers a ticked option, thanks, and closes 1.5 s later; "稍后" closes at once and registers
        // nothing. A refusal is reported and shown under the option instead of thanks: the dialog stays until
        // the user unticks the option and confirms again.
        // The button is clicked, or reached with Tab and pressed with a key; Escape works as "稍后".
        QTest::addColumn<QString>("button");
        QTest::addColumn<Qt::Key>("key"); // none: a click
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("shown");

        const QString confirm = u"confirmButton"_s;
        const QString later = u"laterButton"_s;
        const auto click = Qt::Key(0);
        QTest::newRow("稍后, even ticked") << later << click << true << QString() << QString();
        QTest::newRow("确认, unticked") << confirm << click << false << QString() << QString();
        QTest::newRow("确认, ticked") << confirm << click << true << QString() << QString();
        QTest::newRow("确认, ticked, refused")
            << confirm << click << true << u"cannot create the folder /x: Not a directory"_s
            << u"Failed to enable launch at startup: cannot create the folder /x: Not a directory"_s;
        const QString folder = u"/home/someone/"_s + u"a-long-folder-name/"_s.repeated(6);
        QTest::newRow("refused, long, with control characters")
            << confirm << click << true << u"\x1b[2Jcannot write\r\n%1\u2028x\u0085: Is a directory\u2029"_s.arg(folder)
            << u"Failed to enable launch at startup: [2Jcannot write%1 x: Is a directory "_s.arg(folder);
        QTest::newRow("稍后, Space") << later << Qt::Key_Space << true << QString() << QString();
        QTest::newRow("确认, Enter") << confirm << Qt::Key_Return << true << QString() << QString();
        QTest::newRow("Escape, even ticked") << later << Qt::Key_Escape << true << QString() << QString();
    }

    void closing()
    {
        QFETCH(QString, button);
        QFETCH(Qt::Key, key);
        QFETCH(bool, ticked);
        QFETCH(QString, failure);
        QFETCH(QString, shown);

        m_loginItem.failure = failure;
        StartupPermissionView& view = present(ticked);
        QSignalSpy finished(&view, &QDialog::finished);
        // The dialog grows to show a refusal, which the offscreen platform remarks on.
        if (!failure.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        QSignalSpy refusals(&view, &StartupPermissionView::launchAtLoginFailed);
        QElapsedTimer clock;
        clock.start();
        if (!key)
            click(view, button);
        else
            pressWithKeyboard(&view, key == Qt::Key_Escape ? nullptr : child(view, button), key);

        const int registrations = button == u"confirmButton"_s && ticked ? 1 : 0;
        QCOMPARE(m_loginItem.calls, registrations);
        QCOMPARE(refusals.count(), failure.isEmpty() ? 0 : 1);
        if (!failure.isEmpty())
            QCOMPARE(refusals.at(0).at(0).toString(), failure);
        auto* shownFailure = qobject_cast<QLabel*>(child(view, u"launchAtLoginFailure"_s));
        if (!failure.isEmpty()) {
            QVERIFY(shownFailure->isVisible() && !view.showsThankYou());
            QCOMPARE(shownFailure->text(), shown);
            // All of it in the dialog, wrapped to its width, in a readable colour.
            QVERIFY(shownFailure->width() >= shownFailure->minimumSizeHint().width());
            QVERIFY(view.height() >= view.heightForWidth(view.width()));
            QVERIFY(inkContrast(shownFailure->grab().toImage()) >= 4.5);
            // Unticked and confirmed again, it thanks and closes 1.5 s after that confirmation: the first one
            // scheduled nothing.
            QTest::qWait(200);
            click(view, u"launchAtLoginRow"_s);
            clock.start();
            click(view, button);
        }
        if (button == u"confirmButton"_s) {
            QVERIFY(!child(view, u"mainContent"_s)->isVisible());
            QVERIFY(child(view, u"thankYouContent"_s)->isVisible());
            QCOMPARE(textOf(view, u"thankYouFace"_s), u"(´▽｀)ノ"_s);
            QCOMPARE(textOf(view, u"thankYouText"_s), u"谢谢~"_s);
            QTRY_VERIFY_WITH_TIMEOUT(!view.isVisible(), 4000);
            QVERIFY2(clock.elapsed() >= 1490, qPrintable(QString::number(clock.elapsed())));
        }
        QVERIFY(!view.isVisible());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_loginItem.calls, registrations);
    }

    // A confirmation's dismissal is never cancelled: it must leave a later presentation alone and must not
    // touch a destroyed dialog (under the sanitizers a touch fails here).
    void pendingDismissalOutlivesItsPresentation()
    {
        StartupPermissionView& view = present(true);
        QSignalSpy finished(&view, &QDialog::finished);
        click(view, u"confirmButton"_s);
        view.reject();

        view.open();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!view.isChecked());
        QVERIFY(!view.showsThankYou());
        QTest::qWait(1700);
        QVERIFY(view.isVisible());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(m_loginItem.calls, 1);

        click(view, u"confirmButton"_s);
        m_view.reset();
        QTest::qWait(1700);
    }
};

QTEST_MAIN(TestStartupPermissionView)
#include "tst_startuppermissionview.moc"
