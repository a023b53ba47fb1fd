#include "library/RoleLibrary.h"
#include "support/Keyboard.h"
#include "support/TestSupport.h"
#include "upload/FakeContentsServer.h"
#include "views/UploadView.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

const QColor red(0xc4, 0x23, 0x1c);
const QColor green(0x1f, 0x7a, 0x36);
const QString noToken = u"缺少 token，联系运营同学补发 ✋"_s;

Role role(const QString& id, const QString& name, std::optional<QString> displayName = std::nullopt)
{
    return Role{id, name, displayName, StylePack::classicKaomoji, u"summary"_s, {}};
}

// A form and its parts as a user meets them.
struct Form {
    std::unique_ptr<UploadView> view;
    QLineEdit* nickname = child<QLineEdit>(*view, u"nicknameField"_s);
    QLineEdit* email = child<QLineEdit>(*view, u"emailField"_s);
    QLineEdit* occupation = child<QLineEdit>(*view, u"occupationField"_s);
    QPlainTextEdit* schedule = child<QPlainTextEdit>(*view, u"scheduleEdit"_s);
    QAbstractButton* button = child<QAbstractButton>(*view, u"uploadButton"_s);
    QLabel* status = child<QLabel>(*view, u"statusLine"_s);

    void fill(const UploadTexts& texts) const
    {
        nickname->setText(texts.nickname);
        email->setText(texts.email);
        occupation->setText(texts.occupation);
        schedule->setPlainText(texts.schedule);
    }
    UploadTexts texts() const { return {nickname->text(), email->text(), occupation->text(), schedule->toPlainText()}; }
    bool busy() const { return button->property("busy").toBool(); }
};

} // namespace

class TestUploadView : public QObject {
    Q_OBJECT

    FakeContentsServer m_server;
    QUrl m_base;
    RoleLibrary m_library{[] {
        RoleLibraryOptions options;
        options.roles = {role(u"nurse"_s, u"林"_s, u"夜班护士"_s)};
        return options;
    }()};
    std::unique_ptr<UploadDraft> m_draft; // the session's, new for every test

    // A form on the session's draft aimed at the fake endpoint; the token "stall" gets no answer.
    Form open(const QString& token = u"writer"_s)
    {
        return {
            std::make_unique<UploadView>(&m_library, m_draft.get(), nullptr, [token] { return QStringList{token}; })};
    }

private slots:
    void initTestCase()
    {
        m_base = m_server.start();
        QVERIFY(m_base.isValid());
    }

    void init()
    {
        m_library.select(role(u"nurse"_s, u"林"_s, u"夜班护士"_s));
        m_draft = std::make_unique<UploadDraft>(UploaderConfig{m_base, u"bot@example.invalid"_s, 5000});
    }

    // The button waits for a nickname and a schedule; the companion line names the selected role.
    void fillingIn_data()
    {
        QTest::addColumn<std::optional<Role>>("selected");
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("schedule");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("line"); // empty: no line shown
        QTest::newRow("no role, no nickname") << std::optional<Role>() << QString() << u"x"_s << false << QString();
        QTest::newRow("display name, no schedule") << std::optional(role(u"nurse"_s, u"Y"_s, u"X"_s)) << u"ada"_s
                                                   << QString() << false << u"当前伴随：X · Y"_s;
        QTest::newRow("name only, nickname of spaces")
            << std::optional(role(u"poet"_s, u"阿诗"_s)) << u"   "_s << u"x"_s << true << u"当前伴随：阿诗"_s;
    }

    void fillingIn()
    {
        QFETCH(std::optional<Role>, selected);
        QFETCH(QString, nickname);
        QFETCH(QString, schedule);
        QFETCH(bool, enabled);
        QFETCH(QString, line);
        m_library.setSelectedRole(selected);
        const Form form = open();
        form.fill({nickname, {}, {}, schedule});
        QCOMPARE(form.button->isEnabled(), enabled);
        QCOMPARE(form.status->text(), u"填完再上传就好 ( •̀ᴗ•́ )✧"_s);
        const auto* label = child<QLabel>(*form.view, u"companionLine"_s);
        QCOMPARE(label->isVisibleTo(form.view.get()) ? label->text() : QString(), line);
    }

    // The form goes at every closing, the draft stays: typed texts come back until uploaded, and an upload running
    // at closing shows its outcome, in its colour, at the next opening; a missing token is told before any typing.
    void outcome_data()
    {
        QTest::addColumn<QString>("token"); // empty: nothing sent
        QTest::addColumn<QString>("editWhileSending");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("status"); // the status line starts with it
        QTest::addColumn<QColor>("color");   // invalid: the form's text colour
        QTest::newRow("typed, not sent") << QString() << QString() << true << u"填完再上传就好"_s << QColor();
        QTest::newRow("uploaded") << u"writer"_s << QString() << false << u"上传成功 · submissions/ada-"_s << green;
        QTest::newRow("rejected") << u"missing"_s << QString() << true << u"GitHub (404): Not Found"_s << red;
        QTest::newRow("no token") << u" \n"_s << QString() << true << noToken << red;
        QTest::newRow("edited while uploading") << u"writer"_s << u"猫"_s << true << u"上传成功"_s << green;
    }

    void outcome()
    {
        QFETCH(QString, token);
        QFETCH(QString, editWhileSending);
        QFETCH(bool, kept);
        QFETCH(QString, status);
        QFETCH(QColor, color);
        // Sent as typed, unstripped, with the role's name rather than its display name.
        UploadTexts typed{u" Ada  L. "_s, u"ada@example.invalid"_s, u"灯塔看守人"_s,
                          u"00:00-01:00 | 睡觉\n07:00-08:00 |\u00a0早饭"_s};
        const qsizetype sent = m_server.requests().size();
        {
            const Form form = open(token);
            const auto* notice = child<QLabel>(*form.view, u"tokenNotice"_s);
            QCOMPARE(notice->isVisibleTo(form.view.get()), token.trimmed().isEmpty());
            QCOMPARE(notice->text(), noToken);
            form.fill(typed);
            if (!token.isEmpty())
                QTest::mouseClick(form.button, Qt::LeftButton);
            if (!editWhileSending.isEmpty())
                form.occupation->setText(typed.occupation = editWhileSending);
        } // closed before the answer arrives
        QTRY_VERIFY(m_draft->uploader().state().kind != UploadState::Kind::uploading);
        if (token == u"writer" && m_server.requests().size() == sent + 1) {
            const QString content =
                QJsonDocument::fromJson(m_server.requests().last().body).object()[u"content"_s].toString();
            const auto entry = decodeSubmissionEntry(QByteArray::fromBase64(content.toLatin1()));
            QVERIFY(entry);
            QCOMPARE(*entry,
                     (SubmissionEntry{u" Ada  L. "_s, u"ada@example.invalid"_s, u"灯塔看守人"_s, typed.schedule,
                                      u"nurse"_s, u"林"_s, entry->createdAtISO, entry->timezone, entry->deviceLocale}));
        }
        const Form form = open(token);
        typed.schedule.replace(u'\u00a0', u' '); // as toPlainText() reads it back
        QCOMPARE(form.texts(), kept ? typed : UploadTexts());
        QVERIFY2(form.status->text().startsWith(status), qPrintable(form.status->text()));
        QCOMPARE(form.status->palette().color(QPalette::WindowText),
                 color.isValid() ? color : form.view->palette().color(QPalette::WindowText));
    }

    // While a request is in flight the button is locked and spins; after it times out the texts are still there.
    void uploadingTimesOut()
    {
        m_draft = std::make_unique<UploadDraft>(UploaderConfig{m_base, u"bot@example.invalid"_s, 400});
        const Form form = open(u"stall"_s);
        form.fill({u"Ada"_s, {}, u"猫"_s, u"00:00-01:00 | 睡觉"_s});
        form.view->show();
        pressWithKeyboard(form.view.get(), form.button, Qt::Key_Return);
        QCOMPARE(form.status->text(), u"请求 GitHub..."_s);
        QVERIFY(!form.button->isEnabled() && form.busy());
        QTRY_VERIFY(!form.busy());
        QCOMPARE(form.status->palette().color(QPalette::WindowText), red);
        QCOMPARE(form.occupation->text(), u"猫"_s);
    }

    // On a short screen the button and the status line stay in view and the schedule editor, not the form, gives
    // way down to a few lines; a slot stays on one line. The form opens with the focus in its first field.
    void fits_data()
    {
        QTest::addColumn<QSize>("size"); // the screen less a panel of 30 and a window frame of 27 device pixels
        QTest::addColumn<bool>("formScrolls");
        QTest::newRow("1024×600") << QSize(360, 543) << false;
        QTest::newRow("1440×900 scaled by 2") << QSize(360, 421) << true;
    }

    void fits()
    {
        QFETCH(QSize, size);
        QFETCH(bool, formScrolls);
        const Form form = open(u" "_s); // the tallest form: it tells of the missing token
        QStringList day;
        for (int i = 0; i < 200; ++i)
            day << u"%1:00-%1:59 | 在码头数集装箱 | 平静 | 三号泊位 | 3 | 独处"_s.arg(i % 24, 2, 10, QChar(u'0'));
        form.fill({u"Ada"_s, {}, {}, day.join(u'\n')});
        form.view->resize(size);
        form.view->show();
        QVERIFY(QTest::qWaitForWindowActive(form.view.get()));
        QCOMPARE(QApplication::focusWidget(), form.nickname);
        QVERIFY(!form.nickname->hasSelectedText()); // the first key typed does not replace it
        QCOMPARE(form.view->size(), size);
        for (const QWidget* part : {static_cast<QWidget*>(form.button), static_cast<QWidget*>(form.status)})
            QVERIFY(QRect(QPoint(), size).contains(QRect(part->mapTo(form.view.get(), QPoint()), part->size())));
        QCOMPARE(child<QAbstractScrollArea>(*form.view, u"formScroll"_s)->verticalScrollBar()->maximum() > 0,
                 formScrolls);
        QVERIFY(form.schedule->viewport()->height() >= 3 * QFontMetrics(form.schedule->font()).lineSpacing());
        QVERIFY(form.schedule->horizontalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(TestUploadView)
#include "tst_uploadview.moc"
