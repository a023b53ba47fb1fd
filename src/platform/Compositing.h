#pragma once

namespace pellora {

/// Whether translucent top-level windows are composited, that is drawn with their transparency.
///
/// The environment variable PELLORA_ASSUME_COMPOSITOR answers first: "1" means yes, "0" means no (for
/// tests, and for setups the check gets wrong). On X11 a compositing manager announces itself by owning
/// the selection _NET_WM_CM_S<n> of the default screen n; every other platform (Wayland, offscreen, ...)
/// counts as composited. Asks the display server on every call; call it once a QGuiApplication exists.
bool compositingManagerRunning();

} // namespace pellora
