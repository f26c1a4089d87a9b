// A container without border, bevel or caption. Notifications of its
// children go on to the form. A view over its window: the parent destroys
// the window, never this object.
#pragma once

#include <windows.h>

namespace app {

class TPanel {
public:
    explicit TPanel(HWND parent);
    HWND Handle() const { return m_handle; }
    void SetBounds(int x, int y, int width, int height);

private:
    HWND m_handle = nullptr;
};

}  // namespace app
