// Window geometry: a window's visible rectangle, the taskbar's edge, the
// fifteen placements inside the primary monitor's area and the test whether
// a rectangle lies on no monitor.
//
// The module keeps no state. Every routine has two forms: one over the real
// desktop, and one over a GeometryPlatform, so the arithmetic between the
// platform queries can be driven by fixed values.
#pragma once

#include <windows.h>

namespace desktop {

// The screen edge the taskbar is docked to. Our own codes: they differ from
// the platform's ABE_* values.
enum TTaskbarEdge : int {
    teUnknown = -1,
    teTop = 0,
    teBottom = 1,
    teLeft = 2,
    teRight = 3,
};

// A placement. Any other integer is accepted and leaves the bounds as read
// (the window is still moved to them and repainted).
enum TPlaceMode : int {
    wpFullHeight = 0,
    wpFullWidth = 1,
    wpTop = 2,
    wpBottom = 3,
    wpLeft = 4,
    wpRight = 5,
    wpTopLeft = 6,
    wpTopRight = 7,
    wpBottomLeft = 8,
    wpBottomRight = 9,
    wpCenter = 10,
    wpTopHalf = 11,
    wpBottomHalf = 12,
    wpLeftHalf = 13,
    wpRightHalf = 14,
};

// Where the platform puts a minimised top-level window.
inline constexpr LONG kMinimizedMarker = -32000;

// The platform operations the geometry relies on, one per query or change.
class GeometryPlatform {
public:
    virtual ~GeometryPlatform() = default;
    // GetWindowRect: true on success; the rectangle holds what the call left.
    virtual bool ReadWindowRect(HWND window, RECT& rect) = 0;
    // IsZoomed: the maximised style, also on a hidden window.
    virtual bool HasMaximizedStyle(HWND window) = 0;
    // SPI_GETWORKAREA of the primary monitor: true on success.
    virtual bool QueryWorkArea(RECT& area) = 0;
    // ABM_GETTASKBARPOS: true on success; edge is an ABE_* value.
    virtual bool QueryTaskbar(RECT& rect, UINT& edge) = 0;
    // MonitorFromPoint with MONITOR_DEFAULTTONULL returned a monitor.
    virtual bool IsPointOnMonitor(POINT point) = 0;
    // MoveWindow with repaint; the result is not checked.
    virtual void Move(HWND window, int x, int y, int width, int height) = 0;
};

// The real desktop.
GeometryPlatform& SystemGeometryPlatform();

// True when the rectangle was read and the window is not at the minimised
// marker; the rectangle holds what the query left in it either way.
bool GetVisibleWindowRect(GeometryPlatform& platform, HWND window, RECT& rect);
bool GetVisibleWindowRect(HWND window, RECT& rect);

// X, Y, W, H of the visible rectangle; on false the outputs are untouched.
bool GetWindowBounds(GeometryPlatform& platform, HWND window, int& x, int& y, int& w, int& h);
bool GetWindowBounds(HWND window, int& x, int& y, int& w, int& h);

// The taskbar's rectangle (whatever its edge) and the edge it is docked to;
// teUnknown, with the rectangle as the query left it, when the query fails.
TTaskbarEdge GetTaskbarEdge(GeometryPlatform& platform, RECT& rect);
TTaskbarEdge GetTaskbarEdge(RECT& rect);

// Moves the window to a placement inside the primary monitor's work area
// widened over the taskbar's strip. A window whose bounds cannot be read
// (minimised, or gone) is not moved.
void PlaceWindow(GeometryPlatform& platform, HWND window, TPlaceMode mode);
void PlaceWindow(HWND window, TPlaceMode mode);

// True when none of the five points (top-left, bottom-right, top-right,
// bottom-left, centre, tested in this order) lies on a monitor.
bool IsWindowOffScreen(GeometryPlatform& platform, int x, int y, int w, int h);
bool IsWindowOffScreen(int x, int y, int w, int h);

// Centres a window that is not maximised and lies on no monitor.
void EnsureWindowOnScreen(GeometryPlatform& platform, HWND window);
void EnsureWindowOnScreen(HWND window);

}  // namespace desktop
