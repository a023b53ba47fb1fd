#pragma once

class QWindow;

namespace pellora {

/// Asks the window manager to leave the window out of taskbars and pagers, as a floating companion
/// window should be. Call it just before each show: window managers drop the hint when a window is
/// hidden. Does nothing where the platform has no such hint.
void keepOffTaskbar(QWindow* window);

/// Asks the window manager to show the window on every virtual desktop. Call it just before each show,
/// like keepOffTaskbar. Does nothing where the platform has no such hint.
void showOnAllDesktops(QWindow* window);

/// Withdraws the mapped window's call for attention. KWin marks a window that maps without being activated
/// as demanding attention; a window shown that way on purpose asks for nothing. Does nothing where the
/// platform has no such state.
void stopDemandingAttention(QWindow* window);

/// Whether the pointer can leave a window without the window hearing of it: under XWayland, which sends
/// nothing when the pointer goes on to a Wayland surface (a bar, a native window).
bool pointerMayLeaveUnseen();
/// Under XWayland, whether the pointer is off `window` as the X server sees it: on another window, or on a
/// Wayland surface, where XWayland keeps the pointer's last X position (inside the window it left, so the
/// position alone cannot tell). False elsewhere.
bool pointerOutside(const QWindow* window);

} // namespace pellora
