#include "library/RoleLibrary.h"
#include "support/TestSupport.h"
#include "views/CharacterPickerView.h"
#include "views/LineClampedLabel.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

const QString heart = u"\u2665\uFE0E"_s;

RoleEvent makeEvent(const QString& time, const QString& label, const QString& mood, const QString& location)
{
    return RoleEvent{time, label, mood, location, 3, u"独处"_s};
}

Role role(const QString& id, const QString& name, StylePack pack = StylePack::classicKaomoji)
{
    return Role{id,
                name,
                std::nullopt,
                pack,
                u"summary of "_s + name,
                {makeEvent(u"00:00-12:00"_s, u"看书"_s, u"平静"_s, u"家"_s)}};
}

const QList<Role> threeRoles{role(u"alpha"_s, u"A"_s), role(u"beta"_s, u"B"_s), role(u"gamma"_s, u"C"_s)};

QList<QAbstractButton*> rowsOf(const CharacterPickerView& picker)
{
    return picker.findChildren<QAbstractButton*>(u"roleRow"_s);
}

QString labelText(const QWidget* row, const QString& name)
{
    const auto* label = row->findChild<QLabel*>(name);
    return label ? label->text() : u"<missing>"_s;
}

// Whether the row shows the heart (a hidden mark takes no room in the row's layout).
bool showsMark(const QWidget* row)
{
    const auto* mark = row->findChild<QLabel*>(u"selectionMark"_s);
    return mark && mark->isVisibleTo(row) && mark->text() == heart;
}

QStringList markedIds(const CharacterPickerView& picker)
{
    QStringList ids;
    for (const QAbstractButton* row : rowsOf(picker)) {
        if (showsMark(row))
            ids.append(row->property("roleId").toString());
    }
    return ids;
}

template <typename Widget = QAbstractButton> Widget* child(const QWidget& parent, const QString& name)
{
    auto* widget = parent.findChild<Widget*>(name);
    if (!widget)
        qFatal("no child named %s", qPrintable(name));
    return widget;
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestCharacterPickerView : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;

    std::unique_ptr<RoleLibrary> makeLibrary(const QList<Role>& roles, std::function<quint32()> randomWord = {})
    {
        RoleLibraryOptions options;
        options.roles = roles;
        options.settings = m_settings.get();
        options.clock = std::make_shared<FakeClock>(QTime(9, 30));
        options.randomWord = std::move(randomWord);
        if (roles.isEmpty()) // no pack reading: an absent file leaves the library empty
            options.packPaths = {m_dir.filePath(u"absent.json"_s)};
        StdoutCapture quiet;
        return std::make_unique<RoleLibrary>(std::move(options));
    }

    QVariant storedId() const { return m_settings->value(RoleLibrary::storageKey); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(u"settings.ini"_s));
        m_settings = std::make_unique<QSettings>(m_dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
    }

    void showsTheFixedTexts()
    {
        auto library = makeLibrary(threeRoles);
        CharacterPickerView picker(library.get());
        QCOMPARE(child<QLabel>(picker, u"pickerTitle"_s)->text(), u"选择角色"_s);
        QCOMPARE(child(picker, u"closeButton"_s)->text(), u"关闭"_s);
        QCOMPARE(child<QLabel>(picker, u"randomSectionHeader"_s)->text(), u"✨ 抽一张今日卡片"_s);
        QCOMPARE(child(picker, u"randomButton"_s)->text(), u"Random luck"_s);
        QVERIFY(!child(picker, u"randomButton"_s)->icon().isNull());
        QCOMPARE(child<QLabel>(picker, u"librarySectionHeader"_s)->text(), u"角色库 (角色包)"_s);
    }

    void rowsFollowLibraryOrder()
    {
        const QList<Role> roles{role(u"zeta"_s, u"Z"_s), role(u"alpha"_s, u"A"_s), role(u"mu"_s, u"M"_s)};
        auto library = makeLibrary(roles);
        CharacterPickerView picker(library.get());
        QStringList ids;
        for (const QAbstractButton* row : rowsOf(picker))
            ids.append(row->property("roleId").toString());
        QCOMPARE(ids, (QStringList{u"zeta"_s, u"alpha"_s, u"mu"_s}));
    }

    void rowContent_data()
    {
        QTest::addColumn<Role>("shown");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("title");

        // At 09:30 the second event is current; the face still comes from the first.
        const QList<RoleEvent> sleepThenMeeting{makeEvent(u"00:00-08:00"_s, u"睡觉"_s, u"睡意"_s, u"家"_s),
                                                makeEvent(u"08:00-24:00"_s, u"开会"_s, u"兴奋"_s, u"公司"_s)};
        const QString sleepingFace = u"( \u02D8\u03C9\u02D8 )"_s;

        Role named{u"ana"_s, u"Anna Lee"_s, u"Ana"_s, StylePack::classicKaomoji, u"s"_s, sleepThenMeeting};
        QTest::newRow("display name") << named << sleepingFace << u"Ana · Anna Lee"_s;
        named.displayName.reset();
        QTest::newRow("no display name") << named << sleepingFace << u"Anna Lee"_s;
        named.displayName = QString();
        QTest::newRow("empty display name") << named << sleepingFace << u" · Anna Lee"_s;

        Role noEvents{u"void"_s, u"Void"_s, std::nullopt, StylePack::dynamicKaomoji, u"s"_s, {}};
        QTest::newRow("no events, kaomoji pack") << noEvents << u"(・・;)"_s << u"Void"_s;
        noEvents.stylePack = StylePack::textOnly;
        QTest::newRow("no events, text pack") << noEvents << u"(・・;)"_s << u"Void"_s;

        const Role textOnly{u"t"_s,       u"Tess"_s,
                            std::nullopt, StylePack::textOnly,
                            u"s"_s,       {makeEvent(u"09:00-10:00"_s, u"写论文"_s, u"平静"_s, u"图书馆"_s)}};
        QTest::newRow("text-only tag") << textOnly << u"[Focus @ 图书馆]"_s << u"Tess"_s;
    }

    void rowContent()
    {
        QFETCH(Role, shown);
        QFETCH(QString, face);
        QFETCH(QString, title);

        auto library = makeLibrary({shown});
        CharacterPickerView picker(library.get());
        const QList<QAbstractButton*> rows = rowsOf(picker);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(labelText(rows.first(), u"face"_s), face);
        QCOMPARE(labelText(rows.first(), u"title"_s), title);
        QCOMPARE(rows.first()->findChild<LineClampedLabel*>(u"summary"_s)->text(), shown.summary);
    }

    void selectionMark_data()
    {
        QTest::addColumn<std::optional<Role>>("selection");
        QTest::addColumn<QStringList>("marked");

        QTest::newRow("shared id marks every row")
            << std::optional(role(u"twin"_s, u"Other"_s)) << QStringList{u"twin"_s, u"twin"_s};
        QTest::newRow("unique id") << std::optional(role(u"solo"_s, u"S"_s)) << QStringList{u"solo"_s};
        QTest::newRow("nothing selected") << std::optional<Role>() << QStringList{};
        QTest::newRow("id of no row") << std::optional(role(u"ghost"_s, u"G"_s)) << QStringList{};
        QTest::newRow("id differing in case") << std::optional(role(u"Solo"_s, u"S"_s)) << QStringList{};
        // Precomposed é in the list, e + combining acute in the selection.
        QTest::newRow("canonically equal id")
            << std::optional(role(u"cafe\u0301"_s, u"K"_s)) << QStringList{u"caf\u00e9"_s};
    }

    void selectionMark()
    {
        QFETCH(std::optional<Role>, selection);
        QFETCH(QStringList, marked);

        const QList<Role> roles{role(u"twin"_s, u"T1"_s), role(u"solo"_s, u"S"_s), role(u"twin"_s, u"T2"_s),
                                role(u"caf\u00e9"_s, u"K"_s)};
        auto library = makeLibrary(roles);
        CharacterPickerView picker(library.get());
        QCOMPARE(markedIds(picker), (QStringList{u"twin"_s, u"twin"_s})); // the library starts on its first role

        library->setSelectedRole(selection);
        QCOMPARE(markedIds(picker), marked);
    }

    void summaryInRowIsClamped()
    {
        Role wordy = role(u"w"_s, u"W"_s);
        wordy.summary = u"line one\nline two\nline three\nline four\nline five"_s;
        auto library = makeLibrary({wordy});
        CharacterPickerView picker(library.get());
        picker.resize(420, 520);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));

        const auto* summary = rowsOf(picker).first()->findChild<LineClampedLabel*>(u"summary"_s);
        QCOMPARE(summary->visibleLines(), (QStringList{u"line one"_s, u"line two…"_s}));
        QVERIFY(summary->height() >= summary->heightForWidth(summary->width()));
    }

    void clampsLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("one short line") << u"short"_s << QStringList{u"short"_s};
        QTest::newRow("exactly two lines") << u"a\nb"_s << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("trailing newline is not more text") << u"a\nb\n"_s << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("windows line ends") << u"a\r\nb\r\nc"_s << QStringList{u"a"_s, u"b…"_s};
        QTest::newRow("five lines") << u"1\n2\n3\n4\n5"_s << QStringList{u"1"_s, u"2…"_s};
        QTest::newRow("empty second line cut") << u"a\n\nc"_s << QStringList{u"a"_s, u"…"_s};
    }

    void clampsLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);

        LineClampedLabel label;
        label.setMaximumLines(2);
        label.setText(text);
        QCOMPARE(label.linesForWidth(300), lines);
    }

    void longParagraphWrapsAndFits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << u"lorem ipsum dolor sit amet "_s.repeated(12);
        QTest::newRow("one long word") << u"x"_s.repeated(400);
        QTest::newRow("cjk") << u"今天也要好好生活"_s.repeated(20);
    }

    void longParagraphWrapsAndFits()
    {
        QFETCH(QString, text);
        LineClampedLabel label;
        label.setMaximumLines(2);
        label.setText(text);
        const int width = 180;
        const QStringList lines = label.linesForWidth(width);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.last().endsWith(u'…'));
        QVERIFY(!lines.first().endsWith(u'…'));
        const QFontMetricsF metrics(label.font());
        for (const QString& line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
        QVERIFY(label.heightForWidth(width) > label.minimumSizeHint().height());
    }

    void clickingRowSelectsThenDismisses_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("another role") << 2;
        QTest::newRow("the selected role") << 0;
    }

    void clickingRowSelectsThenDismisses()
    {
        QFETCH(int, index);

        auto library = makeLibrary(threeRoles);
        CharacterPickerView picker(library.get());
        picker.resize(420, 520);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        m_settings->remove(RoleLibrary::storageKey); // so the test sees the id written again
        QSignalSpy selectionChanges(library.get(), &RoleLibrary::selectedRoleChanged);
        QSignalSpy refreshes(library.get(), &RoleLibrary::snapshotChanged);
        QSignalSpy dismissals(&picker, &CharacterPickerView::dismissRequested);
        QString selectedAtDismissal;
        connect(&picker, &CharacterPickerView::dismissRequested, this,
                [&] { selectedAtDismissal = library->selectedRole() ? library->selectedRole()->id : QString(); });

        click(rowsOf(picker).at(index));

        const QString expected = threeRoles.at(index).id;
        QCOMPARE(dismissals.size(), 1);
        QCOMPARE(selectedAtDismissal, expected);
        QCOMPARE(selectionChanges.size(), 1);
        QCOMPARE(refreshes.size(), 1);
        QCOMPARE(library->selectedRole(), std::optional(threeRoles.at(index)));
        QCOMPARE(storedId(), QVariant(expected));
        QCOMPARE(markedIds(picker), QStringList{expected});
    }

    void randomDrawThenDismisses_data()
    {
        QTest::addColumn<QList<Role>>("roles");
        QTest::addColumn<QList<quint32>>("words");
        QTest::addColumn<QString>("drawn");

        QTest::newRow("third role") << threeRoles << QList<quint32>{5} << u"gamma"_s;
        QTest::newRow("the current role again") << threeRoles << QList<quint32>{3} << u"alpha"_s;
        QTest::newRow("empty library") << QList<Role>{} << QList<quint32>{} << QString();
    }

    void randomDrawThenDismisses()
    {
        QFETCH(QList<Role>, roles);
        QFETCH(QList<quint32>, words);
        QFETCH(QString, drawn);

        auto library = makeLibrary(roles, [words, next = qsizetype(0)]() mutable { return words.at(next++); });
        CharacterPickerView picker(library.get());
        QSignalSpy selectionChanges(library.get(), &RoleLibrary::selectedRoleChanged);
        QSignalSpy dismissals(&picker, &CharacterPickerView::dismissRequested);
        QString selectedAtDismissal;
        connect(&picker, &CharacterPickerView::dismissRequested, this,
                [&] { selectedAtDismissal = library->selectedRole() ? library->selectedRole()->id : QString(); });

        click(child(picker, u"randomButton"_s));

        QCOMPARE(dismissals.size(), 1);
        QCOMPARE(selectedAtDismissal, drawn);
        QCOMPARE(selectionChanges.size(), roles.isEmpty() ? 0 : 1);
        QCOMPARE(markedIds(picker), drawn.isEmpty() ? QStringList{} : QStringList{drawn});
    }

    void emptyLibraryStillOffersTheDraw()
    {
        auto library = makeLibrary({});
        CharacterPickerView picker(library.get());
        picker.resize(420, 520);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QVERIFY(rowsOf(picker).isEmpty());
        QVERIFY(child(picker, u"randomButton"_s)->isVisible());
        QVERIFY(child<QLabel>(picker, u"librarySectionHeader"_s)->isVisible());
    }

    void closeButtonsOnlyDismiss_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("关闭") << u"closeButton"_s;
        QTest::newRow("corner") << u"cornerCloseButton"_s;
    }

    void closeButtonsOnlyDismiss()
    {
        QFETCH(QString, button);

        auto library = makeLibrary(threeRoles);
        CharacterPickerView picker(library.get());
        QSignalSpy selectionChanges(library.get(), &RoleLibrary::selectedRoleChanged);
        QSignalSpy dismissals(&picker, &CharacterPickerView::dismissRequested);

        click(child(picker, button));

        QCOMPARE(dismissals.size(), 1);
        QCOMPARE(selectionChanges.size(), 0);
        QCOMPARE(library->selectedRole(), std::optional(threeRoles.first()));
    }

    void cornerCloseButtonSitsInsetTopRight()
    {
        auto library = makeLibrary(threeRoles);
        CharacterPickerView picker(library.get());
        picker.resize(420, 520);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));

        auto* corner = child(picker, u"cornerCloseButton"_s);
        QVERIFY(!corner->icon().isNull());
        QCOMPARE(corner->geometry(), QRect(420 - 10 - 34, 10, 34, 34));
        QCOMPARE(picker.childAt(420 - 10 - 17, 10 + 17),
                 static_cast<QWidget*>(corner)); // on top of the list and top bar

        picker.resize(500, 600);
        QCOMPARE(corner->geometry(), QRect(500 - 10 - 34, 10, 34, 34));
    }
};

QTEST_MAIN(TestCharacterPickerView)
#include "tst_characterpickerview.moc"
