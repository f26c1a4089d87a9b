// The restored rectangle of a window: the rectangle, in screen coordinates,
// that a minimised or maximised window returns to, as the window system
// keeps it. The system hands it out in workspace coordinates, relative to
// the work area of a monitor; the routine turns it back into screen
// coordinates. The platform queries sit behind RestoredRectPlatform, so the
// arithmetic can be driven by a fake set of monitors.
#pragma once

#include <windows.h>

namespace desktop {

// A monitor's full rectangle and its work area (the full rectangle less the
// strips of the taskbar and other desktop toolbars).
struct TMonitorAreas {
    RECT Monitor;
    RECT Work;
};

class RestoredRectPlatform {
public:
    virtual ~RestoredRectPlatform() = default;
    virtual bool IsMinimized(HWND window) = 0;  // IsIconic
    virtual bool IsMaximized(HWND window) = 0;  // IsZoomed
    // GetWindowRect; zeros when it fails.
    virtual RECT WindowRect(HWND window) = 0;
    // GetWindowPlacement's rcNormalPosition, in workspace coordinates; zeros
    // when it fails.
    virtual RECT PlacementNormalRect(HWND window) = 0;
    // MonitorFromRect with MONITOR_DEFAULTTOPRIMARY; a monitor whose work
    // area is its full rectangle when its areas cannot be read.
    virtual TMonitorAreas MonitorFromRect(const RECT& rect) = 0;
};

RestoredRectPlatform& SystemRestoredRectPlatform();

// The outer rectangle of a window in the normal state; for a minimised or
// maximised window, its restored rectangle.
RECT GetRestoredWindowRect(RestoredRectPlatform& platform, HWND window);
RECT GetRestoredWindowRect(HWND window);

}  // namespace desktop
