// Putting a window into or out of the topmost band.
#pragma once

#include <windows.h>

namespace desktop {

// Flags of the one SetWindowPos call: keep position and size, show the
// window (and, since no-activation is not asked for, activate it).
inline constexpr UINT kStayOnTopFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
static_assert(kStayOnTopFlags == 0x43);

// True when the platform call succeeded.
bool SetStayOnTop(HWND window, bool on);

}  // namespace desktop
