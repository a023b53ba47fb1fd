#include "app/AppDelegate.h"
#include "app/TrayScene.h"
#include "cli/CommandLine.h"
#include "library/SettingsFile.h"
#include "pellora_version.h"
#include "platform/SingleInstance.h"
#include "platform/XdgAutostartLoginItem.h"
#include "widgets/SvgIcon.h"

#include <QApplication>
#include <QPixmapCache>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace pellora;

namespace {

void setApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Pellora"));
    QCoreApplication::setApplicationName(QStringLiteral("Pellora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLORA_VERSION));
}

int runTerminal(int argc, char* argv[], QStringList arguments)
{
    QCoreApplication app(argc, argv);
    setApplicationNames();
    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLineContext context{out, err, [] { return openSettings(); }, std::make_shared<SystemClock>()};
    return runCommandLine(arguments, context);
}

bool platformChosen(const QStringList& arguments)
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || arguments.contains(QStringLiteral("-platform"));
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    if (isCommandLineInvocation(arguments))
        return runTerminal(argc, argv, arguments);

    const bool x11 = qEnvironmentVariableIsSet("DISPLAY");
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (!x11 && !wayland && !platformChosen(arguments)) {
        // No desktop: the chosen role's live status in the terminal instead, once when not attached to one.
        QStringList status{arguments.value(0), QStringLiteral("status")};
        if (isatty(fileno(stdout)))
            status.append(QStringLiteral("--watch"));
        return runTerminal(argc, argv, status);
    }
    // Wayland compositors let no client place itself or stay on top; through XWayland the strip keeps
    // its corner and its place above other windows. Without XWayland, Pellora runs on Wayland itself,
    // where the compositor decides where the strip goes.
    if (wayland && !platformChosen(arguments))
        qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "wayland");

    QApplication app(argc, argv);
    setApplicationNames();
    QApplication::setQuitOnLastWindowClosed(false);
    // The style caches its renders under keys made from each widget tree's palette, and every sheet is a new
    // tree: over a day of openings the default 10 MiB would fill with renders nobody asks for again. Ours
    // are small; 2 MiB holds all that is on screen at once and bounds what a long session keeps.
    QPixmapCache::setCacheLimit(2 * 1024);
    QGuiApplication::setDesktopFileName(QStringLiteral("pellora"));

    SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        if (instance.notifyPrimary())
            return 0;
        std::fputs("pellora: another Pellora is running but does not answer\n", stderr);
        return 1;
    }

    const std::unique_ptr<QSettings> settings = openSettings();
    AppDelegate delegate(settings.get());
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate, &AppDelegate::bringStripToFront);

    XdgAutostartLoginItem loginItem;
    TrayScene scene(delegate, settings.get(), loginItem);
    QObject::connect(&scene, &TrayScene::quitRequested, &app, &QCoreApplication::quit);

    QTimer::singleShot(0, &delegate, &AppDelegate::start);
    // The strip first. The tray icon (a D-Bus and an X11 query, an SVG render) and the windows' icon (which
    // the X11 platform renders at four sizes when it sets it) follow, so they do not hold up the first window.
    QTimer::singleShot(0, &scene, [&scene] {
        scene.start();
        QApplication::setWindowIcon(svgIcon(QStringLiteral("pellora")));
    });
    return app.exec();
}
