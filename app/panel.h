// A container without border, bevel or caption. Notifications of its
// children go on to the form.
#pragma once

#include <windows.h>

#include "desktop/handles.h"

namespace app {

class TPanel {
public:
    explicit TPanel(HWND parent);
    HWND Handle() const { return m_handle.get(); }
    void SetBounds(int x, int y, int width, int height);

private:
    desktop::WindowHandle m_handle;
};

}  // namespace app
