#include "DisplayModeStore.h"

#include "library/SettingsText.h"

#include <QSettings>

namespace pellora {

QString displayModeText(DisplayMode mode)
{
    return mode == DisplayMode::menuBarOnly ? QStringLiteral("menuBarOnly") : QStringLiteral("floatingStrip");
}

DisplayMode restoredDisplayMode(const QString& storedText)
{
    if (storedText == u"menuBar" || storedText == u"menuBarOnly")
        return DisplayMode::menuBarOnly;
    return DisplayMode::floatingStrip; // "floatingWindow", "floatingStrip" and anything unrecognised
}

DisplayModeStore::DisplayModeStore(QSettings* settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    const std::optional<QString> stored = m_settings ? settingsText(*m_settings, key) : std::nullopt;
    if (!stored) {
        m_mode = DisplayMode::floatingStrip;
        if (m_settings)
            writeSetting(*m_settings, key, displayModeText(m_mode));
        return;
    }
    m_mode = restoredDisplayMode(*stored);
}

void DisplayModeStore::setMode(DisplayMode mode)
{
    m_mode = mode;
    emit modeChanged(mode);
    if (m_settings)
        writeSetting(*m_settings, key, displayModeText(mode));
}

} // namespace pellora
