#pragma once

#include <QSettings>
#include <QString>

#include <memory>

namespace pellora {

// The user's settings, $XDG_CONFIG_HOME/Pellora/Pellora.conf, for the app and the command line.
//
// The file keeps the INI layout Qt writes, but every value is read as plain text: a value that is not
// text (a serialized @Variant(...), @ByteArray(...), @Rect(...), a list) reads as no value and is written
// back unchanged. Nothing stored is ever decoded into an object, so a hostile file cannot crash us.
//
// When the file exists but is not a regular file (a FIFO, a folder, a device; a link is judged by its
// target), it is neither read nor written: the settings start empty and whatever is assigned lives in
// memory for the session.
std::unique_ptr<QSettings> openSettings();
std::unique_ptr<QSettings> openSettings(const QString& path);

} // namespace pellora
