#include "platform/Compositing.h"

#include "platform/X11Selection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

namespace pellora {

bool compositingManagerRunning()
{
    const QByteArray assumed = qgetenv("PELLORA_ASSUME_COMPOSITOR");
    if (assumed == "1")
        return true;
    if (assumed == "0")
        return false;

    // Not on X11 (Wayland, offscreen, ...): translucent windows are composited.
    return x11ScreenSelectionOwned("_NET_WM_CM_S").value_or(true);
}

} // namespace pellora
