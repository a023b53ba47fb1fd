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

} // namespace pellora
