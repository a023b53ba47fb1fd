#pragma once

#include <QObject>
#include <QString>

class QSettings;

namespace pellora {

// Whether Pellora shows the floating strip or lives in the tray alone; each is named by the text it is stored as.
enum class DisplayMode { menuBarOnly, floatingStrip };

QString displayModeText(DisplayMode mode);
// The restore rule, older stored texts included: "menuBar" and "floatingWindow" are still understood,
// and anything unrecognised means the strip.
DisplayMode restoredDisplayMode(const QString& storedText);

/// Whether the floating strip is shown, persisted under "display_mode".
class DisplayModeStore final : public QObject {
    Q_OBJECT

public:
    static inline const QString key = QStringLiteral("display_mode");

    // Restores the mode; a missing (or non-text) stored value becomes "floatingStrip", written back.
    explicit DisplayModeStore(QSettings* settings, QObject* parent = nullptr);

    DisplayMode mode() const { return m_mode; }
    // Publishes and persists every assignment, also of the value already held.
    void setMode(DisplayMode mode);

signals:
    void modeChanged(pellora::DisplayMode mode);

private:
    QSettings* m_settings;
    DisplayMode m_mode = DisplayMode::floatingStrip;
};

} // namespace pellora
