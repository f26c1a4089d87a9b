// The capture message: the hook library delivers it to the main window each
// time the chosen mouse button goes down over a window. lParam is the
// captured window's handle; wParam is not read; the answer is 0. The one
// definition, shared by quillow.exe, quillow.dll and the tests.
#pragma once

#include <windows.h>

namespace inspect {

inline constexpr UINT WM_CAPTUREWINDOW = WM_USER + 101;
static_assert(WM_CAPTUREWINDOW == 0x0465);

}  // namespace inspect
