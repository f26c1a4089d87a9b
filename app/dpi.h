// DPI queries of newer Windows versions, bound at run time so the program
// still starts where they are missing (then the screen's DPI is used).
#pragma once

#include <windows.h>

namespace app {

// The design resolution that all form sizes are given in.
inline constexpr int kDesignDpi = 120;

UINT DpiOfWindow(HWND window);
// The outer size of a window whose client area is clientWidth x clientHeight.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);
// A design size in pixels at the given DPI.
inline int ScaleForDpi(int designPixels, UINT dpi) { return ::MulDiv(designPixels, static_cast<int>(dpi), kDesignDpi); }

}  // namespace app
