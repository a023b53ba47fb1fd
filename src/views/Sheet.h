#pragma once

class QWidget;

namespace pellora {

// Shows `sheet` as a window-modal dialog over its parent window, the way a sheet hangs off the window
// that opened it: it blocks that window only, is deleted when closed, and stays out of the taskbar.
void showSheet(QWidget* sheet);

} // namespace pellora
