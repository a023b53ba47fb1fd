#include "library/RoleLibrary.h"
#include "strip/FloatingStripView.h"
#include "support/Contrast.h"
#include "support/FakeLoginItem.h"
#include "support/TestSupport.h"
#include "views/ContentView.h"
#include "views/RolePickerView.h"
#include "views/StartupPermissionView.h"
#include "views/UploadView.h"
#include "widgets/Style.h"
#include "widgets/SvgIcon.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

namespace {

// A role in the surface's style pack, busy at nine with one event to come.
Role role(const QString& surface)
{
    const StylePack pack = surface.contains(u"dynamic") ? StylePack::dynamicKaomoji
                           : surface.contains(u"text")  ? StylePack::textOnly
                                                        : StylePack::classicKaomoji;
    const QList<RoleEvent> day{{u"08:00-12:00"_s, u"接收车祸送来的伤员"_s, u"紧张"_s, u"抢救室"_s, 4, u"同事"_s},
                               {u"12:00-18:00"_s, u"写护理记录"_s, u"平静"_s, u"护士站"_s, 3, u"独处"_s}};
    return {u"nurse"_s, u"林岚"_s, u"夜班护士"_s, pack, u"习惯在凌晨给自己泡一杯速溶咖啡。"_s, day};
}

} // namespace

class TestContrast : public QObject {
    Q_OBJECT

private slots:
    void everyPartStandsOut_data()
    {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<QStringList>("parts");
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
                for (const QColor desktop : {QColor(0xf2f2f2), QColor(0x1e1e1e)})
                    QTest::addRow("%s over %s", qPrintable(surface), qPrintable(desktop.name()))
                        << surface << QString::fromLatin1(names).split(u' ') << desktop;
            }
        }
    }

    void everyPartStandsOut()
    {
        QFETCH(QString, surface);
        QFETCH(QStringList, parts);
        QFETCH(QColor, desktop);

        const bool shaped = surface.endsWith(u"shaped");
        qputenv("PELLORA_ASSUME_COMPOSITOR", shaped ? "0" : "1");
        // The desktop's theme: a part that leaves a colour to the theme shows it.
        const QPalette light = QApplication::style()->standardPalette();
        QApplication::setPalette(
            desktop.lightness() < 128 ? QPalette(QColor(0x35, 0x35, 0x3a), QColor(0x2a, 0x2a, 0x2e)) : light);
        RoleLibraryOptions options;
        options.clock = std::make_shared<FakeClock>(QTime(9, 0));
        options.packPath = {};
        if (!surface.startsWith(u"strip hint"))
            options.roles = {role(surface)};
        RoleLibrary library(options);
        FakeLoginItem loginItem;
        std::unique_ptr<QWidget> window;
        FloatingStripView* strip = nullptr;
        if (surface == u"tray window")
            window = std::make_unique<ContentView>(&library);
        else if (surface == u"picker")
            window = std::make_unique<RolePickerView>(&library);
        else if (surface == u"welcome" || surface == u"thanks")
            window = std::make_unique<StartupPermissionView>(loginItem);
        else if (surface == u"upload")
            window = std::make_unique<UploadView>(&library, nullptr, nullptr, [] { return QStringList(); });
        else
            window.reset(strip = new FloatingStripView(&library, nullptr));
        window->resize(strip ? 560 : 420, 860);
        window->show();
        if (surface == u"thanks")
            QTest::mouseClick(child<QWidget>(*window, u"confirmButton"_s), Qt::LeftButton);
        if (surface == u"upload") {
            child<QLineEdit>(*window, u"nicknameField"_s)->setText(u"阿岚"_s);
            child<QPlainTextEdit>(*window, u"scheduleEdit"_s)->setPlainText(u"00:00-01:00 | 睡觉"_s);
        }
        if (strip) {
            strip->setHovering(true); // the hint has no detail card
            QVERIFY(QTest::qWaitFor([strip] { return strip->isShowingHint() || strip->revealProgress() == 1.0; }));
            window->resize(560, window->heightForWidth(560));
        }
        QTest::qWait(1);
        // As the desktop shows it: a compositor blends a translucent strip over the desktop; without one ("shaped"),
        // X shows the pixels inside the window's shape over black.
        QImage layer(window->size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        window->render(&layer, {}, {},
                       strip ? QWidget::DrawChildren : QWidget::DrawWindowBackground | QWidget::DrawChildren);
        QImage screen(window->size(), QImage::Format_RGB32);
        screen.fill(desktop);
        QPainter painter(&screen);
        if (strip && shaped) {
            painter.setClipRegion(strip->cardsRegion());
            painter.fillRect(screen.rect(), Qt::black);
        }
        painter.drawImage(0, 0, layer);
        painter.end();
        QApplication::setPalette(light);

        QStringList failures;
        for (const QString& name : parts) {
            const QChar kind = name.contains(u':') ? name.back() : u't';
            const QList<QWidget*> named = window->findChildren<QWidget*>(name.section(u':', 0, 0));
            const auto shown =
                std::find_if(named.cbegin(), named.cend(), [&](QWidget* w) { return w->isVisibleTo(window.get()); });
            QVERIFY2(shown != named.cend(), qPrintable(name + u" is not on show"_s));
            QRect area((*shown)->mapTo(window.get(), QPoint()), (*shown)->size());
            if (qobject_cast<QLineEdit*>(*shown))
                area.adjust(3, 3, -3, -3); // inside the field's frame
            Patch patch = measure(screen, area);
            if (kind == u'o') // the top edge against what lies just above it
                patch = {screen.pixel(area.center().x(), area.top() - 1), screen.pixel(area.center().x(), area.top())};
            const QString measured =
                u"%1: %2 on %3, %4:1"_s.arg(name, QColor(patch.ink).name(), QColor(patch.backing).name())
                    .arg(patch.ratio(), 0, 'f', 2);
            if (patch.ratio() < (kind == u't' || kind == u's' ? 4.5 : 3.0))
                failures << measured;
            // The secondary grey itself, not the text colour of a row or button the label sits in.
            QImage grey(1, 1, QImage::Format_RGB32);
            grey.fill(patch.backing);
            QPainter(&grey).fillRect(grey.rect(), style::secondaryText());
            if (kind == u's' && contrast(patch.ink, grey.pixel(0, 0)) >= 1.1)
                failures << measured + u", not grey"_s;
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u"; "_s)));
    }

    // The tray icon reads on black and on white panels: a good share of its square (a whole outline at least)
    // stands out at 3:1, at every panel size and at 2x.
    void trayIconShowsOnEveryPanel()
    {
        for (const int side : {16, 22, 24, 32}) {
            for (const qreal scale : {1.0, 2.0}) {
                QImage icon = trayIcon().pixmap(QSize(side, side), scale).toImage();
                icon.setDevicePixelRatio(1);
                for (const QRgb panel : {qRgb(0, 0, 0), qRgb(255, 255, 255)}) {
                    QImage shown(icon.size(), QImage::Format_RGB32);
                    shown.fill(panel);
                    QPainter(&shown).drawImage(0, 0, icon);
                    int standingOut = 0;
                    for (int y = 0; y < shown.height(); ++y) {
                        for (int x = 0; x < shown.width(); ++x)
                            standingOut += test::contrast(shown.pixel(x, y), panel) >= 3.0 ? 1 : 0;
                    }
                    QVERIFY2(standingOut * 10 >= shown.width() * shown.height(),
                             qPrintable(u"%1 px at %2x on %3"_s.arg(side).arg(scale).arg(QColor(panel).name())));
                }
            }
        }
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
