// The window tree of the desktop, read from the platform for DeepestWindowAt.
#pragma once

#include "hook/window_at_point.h"

namespace hook {

class Win32WindowTree final : public WindowTree {
public:
    HWND TopWindowAt(POINT point) const override;
    HWND FirstChild(HWND window) const override;
    HWND NextSibling(HWND window) const override;
    bool IsVisible(HWND window) const override;
    bool WindowRect(HWND window, RECT& rect) const override;
    bool ClientRect(HWND window, RECT& rect) const override;
};

}  // namespace hook
