#include "app/dpi.h"

namespace app {

namespace {

template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

UINT DpiOfWindow(HWND window)
{
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow) {
        UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto adjustForDpi = User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace app
