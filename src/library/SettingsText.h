#pragma once

#include <QSettings>
#include <QString>

#include <optional>

namespace pellora {

// The text stored under a key, read the way a per-user defaults store converts values to text:
// strings as they are, scalars (numbers, booleans, bytes) in their text form, anything else
// (a list, a map, nothing at all) as no text.
std::optional<QString> settingsText(const QSettings& settings, const QString& key);

// Writes and flushes at once: every persisted value is written the moment it changes.
void writeSetting(QSettings& settings, const QString& key, const QString& value);

} // namespace pellora
