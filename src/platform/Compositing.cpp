#include "platform/Compositing.h"

#include "platform/AssumedAnswer.h"
#include "platform/X11Selection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

namespace pellora {

bool compositingManagerRunning()
{
    if (const std::optional<bool> assumed = assumedAnswer("PELLORA_ASSUME_COMPOSITOR"))
        return *assumed;
    // Not on X11 (Wayland, offscreen, ...): translucent windows are composited.
    return x11ScreenSelectionOwned("_NET_WM_CM_S").value_or(true);
}

} // namespace pellora
