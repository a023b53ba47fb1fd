#include "AppDelegate.h"

#include "strip/FloatingPanel.h"

#include <QTimer>

#include <cstdio>

namespace pellora {

void printLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

RoleLibraryOptions appLibraryOptions(QSettings* settings, RoleLibraryOptions base)
{
    base.settings = settings;
    return base;
}

AppDelegate::AppDelegate(QSettings* settings, RoleLibraryOptions libraryOptions, QObject* parent)
    : QObject(parent), m_library(appLibraryOptions(settings, std::move(libraryOptions))), m_displayModeStore(settings)
{
    if (const std::optional<PackFailure>& failure = m_library.packFailure()) {
        printLine(failure->kind == PackFailure::Kind::missing
                      ? QStringLiteral("⚠️ roles.json missing from bundle")
                      : QStringLiteral("Failed to load roles: ") + failure->reason);
    }
}

void AppDelegate::start()
{
    if (m_launched)
        return;
    m_launched = true;
    configureOnLaunch();
}

void AppDelegate::configureOnLaunch()
{
    // 1. The strip is shown or hidden from the first moment.
    applyDisplayMode();

    // 2. Follow the mode. Every change, and the current value at subscription, is applied one turn of
    // the event loop later, when the store holds it; so at launch the mode is applied twice.
    const auto applyLater = [this] {
        QTimer::singleShot(0, this, &AppDelegate::applyDisplayMode);
    };
    connect(&m_displayModeStore, &DisplayModeStore::modeChanged, this, applyLater);
    applyLater();

    // 3. Activation (a second launch) is delivered through bringStripToFront by whoever owns the
    // single-instance channel.
}

void AppDelegate::applyDisplayMode()
{
    if (m_displayModeStore.mode() == DisplayMode::floatingStrip)
        m_stripController.showStrip(&m_library);
    else
        m_stripController.hideStrip();
}

void AppDelegate::bringStripToFront()
{
    if (m_displayModeStore.mode() != DisplayMode::floatingStrip) {
        // Starting Pellora again must show something: without a tray icon, the strip is the only way in.
        if (!m_trayIconShown)
            m_stripController.showStrip(&m_library);
        return;
    }
    FloatingPanel* panel = m_stripController.panel();
    if (!panel)
        return;
    // Raised, not activated: neither another application nor Pellora's own open window loses the focus.
    panel->showWithoutActivating();
}

} // namespace pellora
