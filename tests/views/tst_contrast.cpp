#include "library/RoleLibrary.h"
#include "platform/LoginItem.h"
#include "presentation/Style.h"
#include "strip/FloatingStripView.h"
#include "support/Contrast.h"
#include "support/TestSupport.h"
#include "upload/UploadView.h"
#include "views/CharacterPickerView.h"
#include "views/ContentView.h"
#include "views/StartupPermissionView.h"

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

// What a part must reach against what lies right behind it (WCAG 2.2 AA): text 4.5:1 (and, in the secondary
// style, the secondary grey itself); large text, graphics and a button's outline 3:1.
enum Kind { text, secondary, large, graphic, outline };

class NoLoginItem final : public LoginItem {
    bool enable(QString*) override { return true; }
    bool isEnabled() const override { return false; }
};

Role role(StylePack pack)
{
    const auto event = [](const QString& time, const QString& activity) {
        return RoleEvent{time, activity, u"紧张"_s, u"抢救室"_s, 4, u"同事"_s};
    };
    return {u"nurse"_s, u"林岚"_s, u"夜班护士"_s, pack, u"习惯在凌晨给自己泡一杯速溶咖啡。"_s,
            {event(u"08:00-12:00"_s, u"接收车祸送来的伤员"_s), event(u"12:00-18:00"_s, u"写护理记录"_s)}};
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
    // blended over the desktop by the compositor; without one, X shows the shaped window's pixels over black.
    const Shot& shot(const QString& surface, const QColor& desktop, bool compositor)
    {
        const QString key = surface + desktop.name() + QString::number(compositor);
        if (const auto found = m_shots.find(key); found != m_shots.end())
            return found->second;
        qputenv("PELLORA_ASSUME_COMPOSITOR", compositor ? "1" : "0");
        QApplication::setPalette(themeFor(desktop));
        const std::map<QString, StylePack> packs{{u"strip classic"_s, StylePack::classicKaomoji},
                                                 {u"strip dynamic"_s, StylePack::dynamicKaomoji},
                                                 {u"strip text"_s, StylePack::textOnly}};
        RoleLibraryOptions options;
        options.clock = std::make_shared<FakeClock>(QTime(9, 0));
        options.packPaths = {};
        if (surface != u"strip hint")
            options.roles = {role(packs.contains(surface) ? packs.at(surface) : StylePack::classicKaomoji)};
        Shot shot{std::make_unique<RoleLibrary>(options), nullptr, {}};
        RoleLibrary* library = shot.library.get();
        FloatingStripView* strip = nullptr;
        if (surface == u"tray window")
            shot.window = std::make_unique<ContentView>(library);
        else if (surface == u"picker")
            shot.window = std::make_unique<CharacterPickerView>(library);
        else if (surface == u"welcome" || surface == u"thanks")
            shot.window = std::make_unique<StartupPermissionView>(m_loginItem);
        else if (surface == u"upload")
            shot.window = std::make_unique<UploadView>(library, nullptr, UploaderConfig{}, [] { return QStringList(); });
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
        if (strip && !strip->isShowingHint()) {
            strip->setHovering(true);
            if (!QTest::qWaitFor([strip] { return strip->revealProgress() == 1.0; }))
                qFatal("the detail card did not open");
        }
        if (strip)
            window.resize(560, window.heightForWidth(560));
        QTest::qWait(1);

        QImage layer(window.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        window.render(&layer, {}, {}, strip ? QWidget::DrawChildren : QWidget::DrawWindowBackground | QWidget::DrawChildren);
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
        QTest::addColumn<int>("kind");
        QTest::addColumn<QColor>("desktop");
        QTest::addColumn<bool>("compositor");

        struct Part {
            const char* surface;
            const char* name;
            Kind kind = text;
        };
        const Part parts[] = {
            {"strip", "face"}, {"strip", "title"}, {"strip", "time"}, {"strip", "event"},
            {"strip", "drawButton", graphic}, {"strip", "drawButton", outline}, {"strip", "sectionTitle", secondary},
            {"strip", "mood"}, {"strip", "location"}, {"strip", "meter"}, {"strip", "upcoming0"},
            {"strip hint", "hintText", secondary}, {"tray window", "title"}, {"tray window", "clock", secondary},
            {"tray window", "pickerButton"}, {"tray window", "pickerButton", outline}, {"picker", "pickerTitle"},
            {"picker", "closeButton"}, {"picker", "randomSectionHeader", secondary}, {"picker", "randomButton"},
            {"picker", "face"}, {"picker", "title"}, {"picker", "summary", secondary}, {"picker", "selectionMark"},
            {"picker", "cornerCloseButton", graphic}, {"welcome", "welcomeFace", large}, {"welcome", "welcomeTitle"},
            {"welcome", "welcomeSubtitle", secondary}, {"welcome", "launchAtLoginSymbol", graphic},
            {"welcome", "launchAtLoginTitle"}, {"welcome", "launchAtLoginDetail", secondary},
            {"welcome", "confirmButton"}, {"welcome", "confirmButton", outline}, {"thanks", "thankYouFace", large},
            {"thanks", "thankYouText", large}, {"upload", "topBarTitle"}, {"upload", "headerTitle"},
            {"upload", "companionLine", secondary}, {"upload", "formatLine", secondary},
            {"upload", "nicknameFieldTitle"}, {"upload", "nicknameField"}, {"upload", "emailField"} /* its prompt */,
            {"upload", "scheduleEdit"}, {"upload", "exampleLine", secondary}, {"upload", "uploadButton"},
            {"upload", "statusLine"}};
        for (const Part& part : parts) {
            const bool strip = QByteArray(part.surface).startsWith("strip");
            const QStringList surfaces = qstrcmp(part.surface, "strip") == 0
                                             ? QStringList{u"strip classic"_s, u"strip dynamic"_s, u"strip text"_s}
                                             : QStringList{QString::fromLatin1(part.surface)};
            for (const QString& surface : surfaces) {
                for (const bool compositor : strip ? QList<bool>{true, false} : QList<bool>{true}) {
                    for (const QColor desktop : {QColor(0xf2f2f2), QColor(0x1e1e1e)}) {
                        QTest::addRow("%s: %s%s over %s%s", qPrintable(surface), part.name,
                                      part.kind == outline ? " outline" : "", qPrintable(desktop.name()),
                                      compositor ? "" : " without compositor")
                            << surface << QString::fromLatin1(part.name) << int(part.kind) << desktop << compositor;
                    }
                }
            }
        }
    }

    void everyPartStandsOut()
    {
        QFETCH(QString, surface);
        QFETCH(QString, part);
        QFETCH(int, kind);
        QFETCH(QColor, desktop);
        QFETCH(bool, compositor);

        const Shot& taken = shot(surface, desktop, compositor);
        QWidget* window = taken.window.get();
        const QList<QWidget*> named = window->findChildren<QWidget*>(part);
        const auto shown = std::find_if(named.cbegin(), named.cend(), [window](QWidget* w) { return w->isVisibleTo(window); });
        QVERIFY2(shown != named.cend(), "no such part on show");
        QRect area((*shown)->mapTo(window, QPoint()), (*shown)->size());
        if (qobject_cast<QLineEdit*>(*shown))
            area.adjust(3, 3, -3, -3); // inside the field's frame
        Patch patch = measure(taken.screen, area);
        if (kind == outline) // the top edge against what lies just above it
            patch = {taken.screen.pixel(area.center().x(), area.top() - 1), taken.screen.pixel(area.center().x(), area.top())};
        const QString measured =
            u"%1 on %2: %3:1"_s.arg(QColor(patch.ink).name(), QColor(patch.backing).name()).arg(patch.ratio(), 0, 'f', 2);
        qInfo("%s", qPrintable(measured));
        QVERIFY2(patch.ratio() >= (kind <= secondary ? 4.5 : 3.0), qPrintable(measured));
        if (kind == secondary) {
            // The secondary grey, not the text colour of a row or button the label sits in.
            const QColor grey = style::secondaryText();
            const QColor ink(patch.ink), backing(patch.backing);
            const auto off = [&grey](int inked, int behind, int own) {
                return std::abs(inked - qRound(grey.alphaF() * own + (1 - grey.alphaF()) * behind));
            };
            QVERIFY2(std::max({off(ink.red(), backing.red(), grey.red()), off(ink.green(), backing.green(), grey.green()),
                               off(ink.blue(), backing.blue(), grey.blue())}) <= 4,
                     qPrintable(measured));
        }
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
