#include "app/AppDelegate.h"
#include "strip/FloatingPanel.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellora;
using namespace pellora::test;
using namespace Qt::StringLiterals;

class TestAppDelegate : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;

    std::unique_ptr<AppDelegate> makeDelegate()
    {
        RoleLibraryOptions options;
        options.clock = std::make_shared<FakeClock>(QTime(10, 0));
        return std::make_unique<AppDelegate>(m_settings.get(), options);
    }

private slots:
    void init()
    {
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".ini"_s);
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }

    // A fresh install stores its defaults and shows the strip; mode changes reach it one turn later.
    void modeChangesReachTheStrip()
    {
        auto delegate = makeDelegate();
        QCOMPARE(m_settings->value(u"selected_role_id"_s).toString(), delegate->library().roles().first().id);
        QCOMPARE(m_settings->value(u"display_mode"_s).toString(), u"floatingStrip"_s);
        delegate->start();
        QVERIFY(delegate->stripController().panel()->isVisible());

        delegate->displayModeStore().setMode(DisplayMode::menuBarOnly);
        QTRY_VERIFY(!delegate->stripController().panel());
        delegate->setTrayIconShown(true);
        delegate->bringStripToFront(); // nothing to raise in tray-only mode: the tray icon is the way in
        QVERIFY(!delegate->stripController().panel());
        delegate->displayModeStore().setMode(DisplayMode::floatingStrip);
        QTRY_VERIFY(delegate->stripController().panel());

        // With no tray icon, starting Pellora again shows the strip, for this session only.
        delegate->displayModeStore().setMode(DisplayMode::menuBarOnly);
        QTRY_VERIFY(!delegate->stripController().panel());
        delegate->setTrayIconShown(false);
        delegate->bringStripToFront();
        FloatingPanel* panel = delegate->stripController().panel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(m_settings->value(u"display_mode"_s).toString(), u"menuBarOnly"_s);
        panel->hide();
        delegate->bringStripToFront();
        QVERIFY(panel->isVisible());
    }

    // Stored so by an older version.
    void storedMenuBarModeStartsWithoutStrip()
    {
        m_settings->setValue(u"display_mode"_s, u"menuBar"_s);
        auto delegate = makeDelegate();
        delegate->start();
        QCoreApplication::processEvents();
        QVERIFY(!delegate->stripController().panel());
        QCOMPARE(m_settings->value(u"display_mode"_s).toString(), u"menuBar"_s);
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
