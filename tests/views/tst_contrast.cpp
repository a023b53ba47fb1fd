#include "library/RoleLibrary.h"
#include "platform/LoginItem.h"
#include "strip/FloatingStripView.h"
#include "support/Contrast.h"
#include "support/TestSupport.h"
#include "views/ContentView.h"
#include "views/RolePickerView.h"
#include "views/StartupPermissionView.h"
#include "views/UploadView.h"
#include "widgets/Style.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QtTest>

#include <map>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

class NoLoginItem final : public LoginItem {
    bool enable(QString*) override { return true; }
    bool disable(QString*) override { return true; }
    bool isEnabled() const override { return false; }
};

// A role in the window's style pack, busy at nine with one event to come.
Role role(const QString& surface)
{
    const StylePack pack = surface.contains(u"dynamic") ? StylePack::dynamicKaomoji
                           : surface.contains(u"text")  ? StylePack::textOnly
                                                        : StylePack::classicKaomoji;
    const QList<RoleEvent> day{{u"08:00-12:00"_s, u"接收车祸送来的伤员"_s, u"紧张"_s, u"抢救室"_s, 4, u"同事"_s},
                               {u"12:00-18:00"_s, u"写护理记录"_s, u"平静"_s, u"护士站"_s, 3, u"独处"_s}};
    return {u"nurse"_s, u"林岚"_s, u"夜班护士"_s, pack, u"习惯在凌晨给自己泡一杯速溶咖啡。"_s, day};
}

// The desktop theme that goes with the desktop: a widget that leaves a colour to the theme shows it.
QPalette themeFor(const QColor& desktop)
{
    QPalette theme = QApplication::style()->standardPalette();
    if (desktop.lightness() < 128) {
        theme = QPalette(QColor(0x35, 0x35, 0x3a), QColor(0x2a, 0x2a, 0x2e));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText})
            theme.setColor(role, QColor(0xe0, 0xe0, 0xe0));
    }
    return theme;
}

} // namespace

class TestContrast : public QObject {
    Q_OBJECT

    struct Shot {
        std::unique_ptr<RoleLibrary> library;
        std::unique_ptr<QWidget> window;
        QImage screen; // the window as it shows on the desktop
    };
    std::map<QString, Shot> m_shots;
    NoLoginItem m_loginItem;

    // Builds the window once per desktop and composites it as the screen would show it: a translucent strip is
    // blended over the desktop by the compositor; without one ("shaped"), X shows the window's pixels over black.
    const Shot& shot(const QString& surface, const QColor& desktop)
    {
        const QString key = surface + desktop.name();
        if (const auto found = m_shots.find(key); found != m_shots.end())
            return found->second;
        const bool compositor = !surface.endsWith(u"shaped");
        qputenv("PELLORA_ASSUME_COMPOSITOR", compositor ? "1" : "0");
        QApplication::setPalette(themeFor(desktop));
        RoleLibraryOptions options;
        options.clock = std::make_shared<FakeClock>(QTime(9, 0));
        options.packPath = {};
        if (!surface.startsWith(u"strip hint"))
            options.roles = {role(surface)};
        Shot shot{std::make_unique<RoleLibrary>(options), nullptr, {}};
        RoleLibrary* library = shot.library.get();
        FloatingStripView* strip = nullptr;
        if (surface == u"tray window")
            shot.window = std::make_unique<ContentView>(library);
        else if (surface == u"picker")
            shot.window = std::make_unique<RolePickerView>(library);
        else if (surface == u"welcome" || surface == u"thanks")
            shot.window = std::make_unique<StartupPermissionView>(m_loginItem);
        else if (surface == u"upload")
            shot.window = std::make_unique<UploadView>(library, nullptr, nullptr, [] { return QStringList(); });
        else
            shot.window.reset(strip = new FloatingStripView(library, nullptr));
        QWidget& window = *shot.window;
        window.resize(strip ? 560 : 420, 860);
        window.show();
        if (surface == u"thanks")
            QTest::mouseClick(window.findChild<QWidget*>(u"confirmButton"_s), Qt::LeftButton);
        if (surface == u"upload") {
            window.findChild<QLineEdit*>(u"nicknameField"_s)->setText(u"阿岚"_s);
            window.findChild<QPlainTextEdit*>(u"scheduleEdit"_s)->setPlainText(u"00:00-01:00 | 睡觉"_s);
        }
        if (strip) {
            strip->setHovering(true); // the hint has no detail card
            if (!QTest::qWaitFor([strip] { return strip->isShowingHint() || strip->revealProgress() == 1.0; }))
                qFatal("the detail card did not open");
            window.resize(560, window.heightForWidth(560));
        }
        QTest::qWait(1);

        QImage layer(window.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        window.render(&layer, {}, {},
                      strip ? QWidget::DrawChildren : QWidget::DrawWindowBackground | QWidget::DrawChildren);
        const QRegion shape = strip && !compositor ? strip->cardsRegion() : QRegion();
        for (int y = 0; !shape.isEmpty() && y < layer.height(); ++y) {
            for (int x = 0; x < layer.width(); ++x)
                layer.setPixel(x, y, shape.contains(QPoint(x, y)) ? layer.pixel(x, y) | 0xff000000 : 0);
        }
        shot.screen = QImage(window.size(), QImage::Format_RGB32);
        shot.screen.fill(desktop);
        QPainter(&shot.screen).drawImage(0, 0, layer);
        QApplication::setPalette(themeFor(Qt::white));
        return m_shots.emplace(key, std::move(shot)).first->second;
    }

private slots:
    void cleanupTestCase() { m_shots.clear(); }

    void everyPartStandsOut_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QChar>("kind");
        QTest::addColumn<QColor>("desktop");

        // Each window's parts by object name, with what they must reach against what lies right behind them
        // (WCAG 2.2 AA): text 4.5:1, ":s" text in the secondary style (and the secondary grey itself), ":l" large
        // text, ":g" a graphic and ":o" a button's outline 3:1. The strip in each style pack, with a compositor
        // and without ("shaped").
        const std::pair<QString, const char*> parts[] = {
            {u"strip classic|strip dynamic|strip text|strip classic, shaped|strip dynamic, shaped|strip text, shaped"_s,
             "face title time event drawButton:g drawButton:o sectionTitle:s mood location meter upcoming0"},
            {u"strip hint|strip hint, shaped"_s, "hintText:s"},
            {u"tray window"_s, "title clock:s pickerButton pickerButton:o"},
            {u"picker"_s, "pickerTitle closeButton randomSectionHeader:s randomButton face title summary:s "
                          "selectionMark cornerCloseButton:g"},
            {u"welcome"_s, "welcomeFace:l welcomeTitle welcomeSubtitle:s launchAtLoginSymbol:g launchAtLoginTitle "
                           "launchAtLoginDetail:s confirmButton confirmButton:o"},
            {u"thanks"_s, "thankYouFace:l thankYouText:l"},
            {u"upload"_s,
             "tokenNotice topBarTitle headerTitle companionLine:s formatLine:s nicknameFieldTitle nicknameField "
             "emailField scheduleEdit exampleLine:s uploadButton uploadButton:o statusLine"}}; // emailField: its prompt
        for (const auto& [surfaces, names] : parts) {
            for (const QString& surface : surfaces.split(u'|')) {
                for (const QString& name : QString::fromLatin1(names).split(u' ')) {
                    const QChar kind = name.contains(u':') ? name.back() : u't';
                    for (const QColor desktop : {QColor(0xf2f2f2), QColor(0x1e1e1e)}) {
                        QTest::addRow("%s: %s over %s", qPrintable(surface), qPrintable(name),
                                      qPrintable(desktop.name()))
                            << surface << name.section(u':', 0, 0) << kind << desktop;
                    }
                }
            }
        }
    }

    void everyPartStandsOut()
    {
        QFETCH(QString, surface);
        QFETCH(QString, part);
        QFETCH(QChar, kind);
        QFETCH(QColor, desktop);

        const Shot& taken = shot(surface, desktop);
        QWidget* window = taken.window.get();
        const QList<QWidget*> named = window->findChildren<QWidget*>(part);
        const auto shown =
            std::find_if(named.cbegin(), named.cend(), [window](QWidget* w) { return w->isVisibleTo(window); });
        QVERIFY2(shown != named.cend(), "no such part on show");
        QRect area((*shown)->mapTo(window, QPoint()), (*shown)->size());
        if (qobject_cast<QLineEdit*>(*shown))
            area.adjust(3, 3, -3, -3); // inside the field's frame
        Patch patch = measure(taken.screen, area);
        if (kind == u'o') // the top edge against what lies just above it
            patch = {taken.screen.pixel(area.center().x(), area.top() - 1),
                     taken.screen.pixel(area.center().x(), area.top())};
        const QString measured = u"%1 on %2: %3:1"_s.arg(QColor(patch.ink).name(), QColor(patch.backing).name())
                                     .arg(patch.ratio(), 0, 'f', 2);
        qInfo("%s", qPrintable(measured));
        QVERIFY2(patch.ratio() >= (kind == u't' || kind == u's' ? 4.5 : 3.0), qPrintable(measured));
        if (kind == u's') {
            // The secondary grey itself, not the text colour of a row or button the label sits in.
            QImage grey(1, 1, QImage::Format_RGB32);
            grey.fill(patch.backing);
            QPainter(&grey).fillRect(grey.rect(), style::secondaryText());
            QVERIFY2(contrast(patch.ink, grey.pixel(0, 0)) < 1.1, qPrintable(measured + u", not grey"_s));
        }
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
