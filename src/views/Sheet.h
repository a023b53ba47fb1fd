#pragma once

#include <QRect>

class QWidget;

namespace pellora {

// `rect` shrunk to the work area `available` where it is larger, and moved into it where it sticks out.
QRect fitInside(const QRect& rect, const QRect& available);

// Where a window of `size` opens: over the window `owner`, hanging from its top edge and centred across it,
// the way a sheet hangs off its window; centred in the work area when there is no owner. Shrunk to the
// work area `available` and kept inside it, so its top bar and close buttons stay within reach.
QRect sheetGeometry(const QRect& owner, const QSize& size, const QRect& available);

// Shows `sheet` as a window-modal dialog over its parent window, the way a sheet hangs off the window
// that opened it: frameless, placed by sheetGeometry, blocking that window only, deleted when closed, and
// out of the taskbar.
void showSheet(QWidget* sheet);

} // namespace pellora
