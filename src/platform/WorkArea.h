#pragma once

#include <QObject>
#include <QRect>

#include <memory>

class QScreen;

namespace pellora {

/// The part of a screen that windows may use: the screen less its panels and docks.
class WorkArea : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // In Qt's (logical) coordinates; invalid for no screen.
    virtual QRect available(const QScreen* screen) const = 0;
    // Of the primary screen.
    QRect primary() const;

signals:
    // A screen came, went or changed, or the part of the primary screen that windows may use did.
    void changed();
};

// The desktop's own: Qt's available geometry, and on X11 with several monitors the panels on the
// primary monitor too, which Qt leaves out there. Watches screens coming, going and changing, and on
// X11 the desktop's work area and its list of windows (a panel that starts later).
std::unique_ptr<WorkArea> makeDesktopWorkArea(QObject* parent = nullptr);

} // namespace pellora
