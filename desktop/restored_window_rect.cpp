#include "desktop/restored_window_rect.h"

namespace desktop {

namespace {

class Win32RestoredRectPlatform final : public RestoredRectPlatform {
public:
    bool IsMinimized(HWND window) override { return ::IsIconic(window) != FALSE; }
    bool IsMaximized(HWND window) override { return ::IsZoomed(window) != FALSE; }

    RECT WindowRect(HWND window) override
    {
        RECT rect{};
        if (!::GetWindowRect(window, &rect)) rect = RECT{};
        return rect;
    }

    RECT PlacementNormalRect(HWND window) override
    {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (!::GetWindowPlacement(window, &placement)) return RECT{};
        return placement.rcNormalPosition;
    }

    TMonitorAreas MonitorOfWindow(HWND window) override
    {
        return AreasOf(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
    }

private:
    static TMonitorAreas AreasOf(HMONITOR monitor)
    {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!::GetMonitorInfoW(monitor, &info)) return TMonitorAreas{};
        return TMonitorAreas{info.rcMonitor, info.rcWork};
    }
};

}  // namespace

RestoredRectPlatform& SystemRestoredRectPlatform()
{
    static Win32RestoredRectPlatform platform;
    return platform;
}

RECT GetRestoredWindowRect(RestoredRectPlatform& platform, HWND window)
{
    if (!platform.IsMinimized(window) && !platform.IsMaximized(window)) return platform.WindowRect(window);
    RECT rect = platform.PlacementNormalRect(window);
    const TMonitorAreas monitor = platform.MonitorOfWindow(window);
    const LONG dx = monitor.Work.left - monitor.Monitor.left;
    const LONG dy = monitor.Work.top - monitor.Monitor.top;
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

RECT GetRestoredWindowRect(HWND window) { return GetRestoredWindowRect(SystemRestoredRectPlatform(), window); }

}  // namespace desktop
