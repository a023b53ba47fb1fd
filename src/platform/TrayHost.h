#pragma once

namespace pellora {

/// Whether a system tray is there to take Pellora's icon: a StatusNotifierItem watcher on the session
/// bus, or an X11 system tray (the _NET_SYSTEM_TRAY_S<n> selection has an owner).
///
/// Qt decides once, at its first tray query, which kind of tray to use and never asks again; at login
/// the tray may come up after Pellora, so the tray icon is created only once this answers true.
/// PELLORA_ASSUME_TRAY=0/1 answers first (for tests).
bool trayHostPresent();

} // namespace pellora
