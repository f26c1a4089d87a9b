// The restored rectangle of a window: the rectangle, in screen coordinates,
// that a minimised or maximised window returns to, as the window system
// keeps it. The system hands it out in workspace coordinates, relative to
// the work area of the monitor that the rectangle lies on; the routine turns
// it back into screen coordinates with that monitor's work area. The
// workspace rectangle itself cannot tell the monitor: shifted by a taskbar
// at the left or top, it may lie mostly on a neighbouring monitor. The platform queries sit behind RestoredRectPlatform, so the
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
    // MonitorFromWindow with MONITOR_DEFAULTTOPRIMARY: for a minimised
    // window the monitor its restored rectangle lies on, which is the one
    // its placement is relative to. Zeros (no offset) when the monitor's
    // areas cannot be read.
    virtual TMonitorAreas MonitorOfWindow(HWND window) = 0;
};

RestoredRectPlatform& SystemRestoredRectPlatform();

// The outer rectangle of a window in the normal state; for a minimised or
// maximised window, its restored rectangle.
RECT GetRestoredWindowRect(RestoredRectPlatform& platform, HWND window);
RECT GetRestoredWindowRect(HWND window);

}  // namespace desktop
