// The capture message: the hook library delivers it to the main window each
// time the chosen mouse button goes down over a window. lParam is the
// captured window's handle; wParam is not read; the answer is 0.
#pragma once

#include <windows.h>

namespace inspect {

inline constexpr UINT kCaptureMessage = WM_USER + 101;  // WM_CAPTUREWINDOW
static_assert(kCaptureMessage == 0x0465);

}  // namespace inspect
