#include "library/RoleLibrary.h"
#include "support/Keyboard.h"
#include "support/TestSupport.h"
#include "views/LineClampedLabel.h"
#include "views/RolePickerView.h"
#include "views/RoleRow.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

Role role(const QString& id, const QString& summary = u"short"_s,
          const QList<RoleEvent>& day = {{u"00:00-12:00"_s, u"看书"_s, u"平静"_s, u"家"_s, 3, u"独处"_s}})
{
    return {id, id, std::nullopt, StylePack::classicKaomoji, summary, day};
}

// The ids of the rows in order; with `marked`, of those showing the heart only.
QStringList rowIds(const RolePickerView& picker, bool marked = false)
{
    QStringList ids;
    for (const RoleRow* row : picker.findChildren<RoleRow*>()) {
        const auto* mark = row->findChild<QLabel*>(u"selectionMark"_s);
        if (!marked || (mark && mark->isVisibleTo(row) && mark->text() == u"\u2665\uFE0E"_s))
            ids.append(row->roleId());
    }
    return ids;
}

} // namespace

class TestRolePickerView : public QObject {
    Q_OBJECT

    std::unique_ptr<RoleLibrary> m_library;
    std::unique_ptr<RolePickerView> m_picker;

    // A shown picker on a library of `roles` at 09:30; its draw picks the third of three.
    RolePickerView& present(const QList<Role>& roles)
    {
        m_picker.reset();
        m_library.reset();
        RoleLibraryOptions options;
        options.roles = roles;
        options.clock = std::make_shared<FakeClock>(QTime(9, 30));
        options.randomWord = [] {
            return quint32(5);
        };
        m_library = std::make_unique<RoleLibrary>(std::move(options));
        m_picker = std::make_unique<RolePickerView>(m_library.get());
        m_picker->resize(420, 520);
        m_picker->show();
        if (!QTest::qWaitForWindowExposed(m_picker.get()))
            qFatal("the picker was not exposed");
        return *m_picker;
    }

private slots:
    void rowContent()
    {
        // At 09:30 the second event is current; the face still comes from the first.
        Role named = role(u"Anna Lee"_s, u"line one\nline two\nline three"_s,
                          {{u"00:00-08:00"_s, u"睡觉"_s, u"睡意"_s, u"家"_s, 3, u"独处"_s},
                           {u"08:00-24:00"_s, u"开会"_s, u"兴奋"_s, u"公司"_s, 3, u"独处"_s}});
        named.displayName = u"Ana"_s;
        Role textOnly =
            role(u"Tess"_s, u"short"_s, {{u"09:00-10:00"_s, u"写论文"_s, u"平静"_s, u"图书馆"_s, 3, u"独处"_s}});
        textOnly.stylePack = StylePack::textOnly;
        const RolePickerView& picker = present({named, textOnly});

        QStringList shown;
        for (const char* name :
             {"pickerTitle", "closeButton", "randomSectionHeader", "randomButton", "librarySectionHeader"})
            shown << child<QWidget>(picker, QString::fromLatin1(name))->property("text").toString();
        for (const RoleRow* row : picker.findChildren<RoleRow*>()) {
            const auto* summary = child<LineClampedLabel>(*row, u"summary"_s);
            QVERIFY(summary->height() >= summary->heightForWidth(summary->width()));
            shown << child<QLabel>(*row, u"face"_s)->text() << child<QLabel>(*row, u"title"_s)->text()
                  << summary->visibleLines().join(u'|');
        }
        QCOMPARE(shown, (QStringList{u"选择角色"_s, u"关闭"_s, u"✨ 抽一张今日卡片"_s, u"Random luck"_s,
                                     u"角色库 (角色包)"_s, u"( \u02D8\u03C9\u02D8 )"_s, u"Ana · Anna Lee"_s,
                                     u"line one|line two…"_s, u"[Focus @ 图书馆]"_s, u"Tess"_s, u"short"_s}));
    }

    void selectionMark_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("shared id marks every row") << u"twin"_s << QStringList{u"twin"_s, u"twin"_s};
        QTest::newRow("canonically equal id") << u"cafe\u0301"_s << QStringList{u"caf\u00e9"_s}; // e + ◌́ against é
    }

    void selectionMark()
    {
        QFETCH(QString, selected);
        QFETCH(QStringList, marked);
        const QStringList ids{u"solo"_s, u"twin"_s, u"caf\u00e9"_s, u"twin"_s};
        const RolePickerView& picker = present({role(ids[0]), role(ids[1]), role(ids[2]), role(ids[3])});
        QCOMPARE(rowIds(picker), ids); // library order, repeated ids kept
        m_library->setSelectedRole(role(selected));
        QCOMPARE(rowIds(picker, true), marked);
    }

    void clampsLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines"); // none for a text: two lines that fill the width, the second cut
        QTest::newRow("trailing newline is not more text") << u"a\nb\n"_s << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("windows line ends, cut") << u"a\r\nb\r\nc"_s << QStringList{u"a"_s, u"b…"_s};
        QTest::newRow("one long word") << u"x"_s.repeated(400) << QStringList{};
    }

    void clampsLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        LineClampedLabel label;
        label.setMaximumLines(2);
        label.setText(text);
        const QStringList shown = label.linesForWidth(180);
        if (!lines.isEmpty()) {
            QCOMPARE(shown, lines);
            return;
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.last().endsWith(u'…') && !shown.first().endsWith(u'…'), qPrintable(shown.join(u'|')));
        for (const QString& line : shown)
            QVERIFY2(QFontMetricsF(label.font()).horizontalAdvance(line) <= 180, qPrintable(line));
        QVERIFY(label.heightForWidth(180) > label.minimumSizeHint().height());
    }

    void everyClickDismissesOnce_data()
    {
        // What is clicked (a row's index or a button's name), or reached with Tab and pressed with a key, and the
        // role then selected ("alpha" was there before).
        QTest::addColumn<QString>("target");
        QTest::addColumn<Qt::Key>("key"); // none: a click
        QTest::addColumn<QString>("selected");
        const auto click = Qt::Key(0);
        QTest::newRow("another row") << u"2"_s << click << u"gamma"_s;
        QTest::newRow("draw") << u"randomButton"_s << click << u"gamma"_s;
        QTest::newRow("关闭") << u"closeButton"_s << click << u"alpha"_s;
        QTest::newRow("corner") << u"cornerCloseButton"_s << click << u"alpha"_s;
        QTest::newRow("row, Enter") << u"2"_s << Qt::Key_Return << u"gamma"_s;
        QTest::newRow("Escape") << QString() << Qt::Key_Escape << u"alpha"_s;
    }

    void everyClickDismissesOnce()
    {
        QFETCH(QString, target);
        QFETCH(Qt::Key, key);
        QFETCH(QString, selected);
        RolePickerView& picker = present({role(u"alpha"_s), role(u"beta"_s), role(u"gamma"_s)});
        QSignalSpy dismissals(&picker, &RolePickerView::dismissRequested);

        bool isRow = false;
        const int row = target.toInt(&isRow);
        QWidget* pressed = isRow              ? picker.findChildren<RoleRow*>().at(row)
                           : target.isEmpty() ? nullptr
                                              : child<QWidget>(picker, target);
        if (key)
            pressWithKeyboard(&picker, pressed, key);
        else
            QTest::mouseClick(pressed, Qt::LeftButton);

        QTRY_COMPARE(dismissals.size(), 1); // a shortcut (Escape) clicks its button a moment later
        QCOMPARE(rowIds(picker, true), QStringList{selected});
    }
};

QTEST_MAIN(TestRolePickerView)
#include "tst_rolepickerview.moc"
