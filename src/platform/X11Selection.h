#pragma once

#include <optional>

namespace pellora {

// Whether the X11 selection `prefix` + <default screen number> (such as _NET_WM_CM_S0) has an owner:
// how compositing managers and system trays announce themselves. No answer when not running on X11.
std::optional<bool> x11ScreenSelectionOwned(const char* prefix);

} // namespace pellora
