// The geometry's platform operations on the real desktop.
#include <windows.h>
#include <shellapi.h>

#include "desktop/window_geometry.h"

namespace desktop {
namespace {

#if !defined(_WIN64)
// The taskbar query's record as the 32-bit platform defines it.
static_assert(sizeof(APPBARDATA) == 36, "APPBARDATA of the 32-bit platform is 36 bytes");
#endif

class Win32GeometryPlatform final : public GeometryPlatform {
public:
    bool ReadWindowRect(HWND window, RECT& rect) override
    {
        return ::GetWindowRect(window, &rect) != FALSE;
    }

    bool HasMaximizedStyle(HWND window) override { return ::IsZoomed(window) != FALSE; }

    bool QueryWorkArea(RECT& area) override
    {
        return ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) != FALSE;
    }

    bool QueryTaskbar(RECT& rect, UINT& edge) override
    {
        APPBARDATA data{};
        data.cbSize = sizeof(APPBARDATA);
        const bool ok = ::SHAppBarMessage(ABM_GETTASKBARPOS, &data) != 0;
        rect = data.rc;
        edge = data.uEdge;
        return ok;
    }

    bool IsPointOnMonitor(POINT point) override
    {
        return ::MonitorFromPoint(point, MONITOR_DEFAULTTONULL) != nullptr;
    }

    void Move(HWND window, int x, int y, int width, int height) override
    {
        ::MoveWindow(window, x, y, width, height, TRUE);  // result not checked
    }
};

}  // namespace

GeometryPlatform& SystemGeometryPlatform()
{
    static Win32GeometryPlatform platform;
    return platform;
}

}  // namespace desktop
