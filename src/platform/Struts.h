#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace pellora {

/// What an X11 desktop says about the space its panels reserve, in the root window's pixels.
struct ReservedSpace {
    QSize root; // the root window's size: struts are distances from its edges
    // x, y, width, height of each monitor's work area, as desktops that know about several monitors publish
    // it (_GTK_WORKAREAS_D<n> of the current desktop) or i3 and sway report it (their visible workspaces).
    // Empty where nobody says.
    QList<quint32> monitorWorkAreas;
    // Per panel (dock window): its _NET_WM_STRUT_PARTIAL (12 values: left, right, top, bottom, then the
    // start and end of each along its edge), or its older _NET_WM_STRUT (4 values, the whole edge).
    QList<QList<quint32>> struts;
};

// The usable part of `monitor`: the published work area lying in the monitor where there is one, else
// the monitor less the struts that end on it. A strut covering the monitor whole belongs to a panel
// on an inner edge of another monitor (struts count from the root's edges) and is left out.
QRect monitorWorkArea(const QRect& monitor, const ReservedSpace& reserved);

} // namespace pellora
