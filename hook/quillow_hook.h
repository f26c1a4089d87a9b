// The hook library quillow.dll as its callers see it: two functions that
// quillow.exe imports by name, and the message the library delivers.
//
// After Func_InstallMHook(target, code) and until Func_UnInstallMHook, each
// press of the mouse button that the code names (0 left, 1 middle, 2 right)
// posts WM_CAPTUREWINDOW (inspect/capture_message.h) to target with the
// handle of the window under the pointer in lParam and 0 in wParam; the press
// still reaches the pressed window. Other codes watch nothing. A second install replaces the first; a removal
// without a hook does nothing. Both calls return once the library's hook
// thread has set or removed the hook.
#pragma once

#include <windows.h>

namespace hook {

// The capture codes the library knows.
inline constexpr INT kLeftButtonCode = 0;
inline constexpr INT kMiddleButtonCode = 1;
inline constexpr INT kRightButtonCode = 2;

}  // namespace hook

// The library names its exports in quillow.def; callers import them.
#if defined(QUILLOW_HOOK_LIBRARY)
#define QUILLOW_HOOK_IMPORT
#else
#define QUILLOW_HOOK_IMPORT __declspec(dllimport)
#endif

extern "C" {
// TRUE when a hook now watches for the code's button.
QUILLOW_HOOK_IMPORT BOOL WINAPI Func_InstallMHook(HWND target, INT code);
// TRUE when a hook was removed.
QUILLOW_HOOK_IMPORT BOOL WINAPI Func_UnInstallMHook();
}
