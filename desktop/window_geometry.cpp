#include "desktop/window_geometry.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

namespace desktop {
namespace {

// Coordinates are signed 32-bit values, but sums such as X + W of a
// rectangle read from an edited settings file can leave that range. The
// arithmetic runs in 64 bits and the results are held at the range's ends,
// so a window far off to one side never wraps onto the other.
using Wide = std::int64_t;

int Clamp32(Wide value)
{
    return static_cast<int>(std::clamp<Wide>(value, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()));
}

struct WideRect {
    Wide left, top, right, bottom;
};

struct Bounds {
    Wide x, y, w, h;
};

// The platform's edge codes in the order ABE_LEFT, ABE_TOP, ABE_RIGHT,
// ABE_BOTTOM (0 to 3), mapped to ours.
constexpr TTaskbarEdge kEdgeFromAppBarEdge[] = {teLeft, teTop, teRight, teBottom};

// The work area grown back over the taskbar's strip. Top and left subtract
// the taskbar's far coordinate, not its thickness: with the taskbar on the
// primary monitor both give the same, and that is the rule.
WideRect WidenOverTaskbar(WideRect area, TTaskbarEdge edge, const RECT& bar)
{
    switch (edge) {
    case teTop: area.top -= bar.bottom; break;
    case teBottom: area.bottom += Wide{bar.bottom} - bar.top; break;
    case teLeft: area.left -= bar.right; break;
    case teRight: area.right += Wide{bar.right} - bar.left; break;
    case teUnknown: break;
    }
    return area;
}

// The placement table. Right and Bottom of the area stand where a width or
// height might be expected (centre, halves): that gives the expected result
// for an area whose top-left corner is (0, 0), and is kept as it is.
Bounds PlacedBounds(Bounds b, const WideRect& a, TPlaceMode mode)
{
    switch (mode) {
    case wpFullHeight: b.y = a.top; b.h = a.bottom - a.top; break;
    case wpFullWidth: b.x = a.left; b.w = a.right - a.left; break;
    case wpTop: b.y = a.top; break;
    case wpBottom: b.y = a.bottom - b.h; break;
    case wpLeft: b.x = a.left; break;
    case wpRight: b.x = a.right - b.w; break;
    case wpTopLeft: b.x = a.left; b.y = a.top; break;
    case wpTopRight: b.x = a.right - b.w; b.y = a.top; break;
    case wpBottomLeft: b.x = a.left; b.y = a.bottom - b.h; break;
    case wpBottomRight: b.x = a.right - b.w; b.y = a.bottom - b.h; break;
    case wpCenter: b.x = (a.right - b.w) / 2; b.y = (a.bottom - b.h) / 2; break;
    case wpTopHalf: b.x = a.left; b.y = a.top; b.w = a.right; b.h = a.bottom / 2; break;
    case wpBottomHalf: b.x = a.left; b.y = a.bottom / 2; b.w = a.right; b.h = a.bottom / 2; break;
    case wpLeftHalf: b.x = a.left; b.y = a.top; b.w = a.right / 2; b.h = a.bottom - a.top; break;
    case wpRightHalf: b.x = a.right / 2; b.y = a.top; b.w = a.right / 2; b.h = a.bottom - a.top; break;
    default: break;  // any other code keeps the bounds as read
    }
    return b;
}

POINT MakePoint(Wide x, Wide y) { return POINT{Clamp32(x), Clamp32(y)}; }

}  // namespace

bool GetVisibleWindowRect(GeometryPlatform& platform, HWND window, RECT& rect)
{
    bool ok = platform.ReadWindowRect(window, rect);
    if (rect.left == kMinimizedMarker && rect.top == kMinimizedMarker) ok = false;
    return ok;
}

bool GetWindowBounds(GeometryPlatform& platform, HWND window, int& x, int& y, int& w, int& h)
{
    RECT rect{};
    if (!GetVisibleWindowRect(platform, window, rect)) return false;
    x = rect.left;
    y = rect.top;
    w = Clamp32(Wide{rect.right} - rect.left);
    h = Clamp32(Wide{rect.bottom} - rect.top);
    return true;
}

TTaskbarEdge GetTaskbarEdge(GeometryPlatform& platform, RECT& rect)
{
    rect = RECT{};
    UINT edge = 0;
    // A failed query leaves the rectangle as the query left it and counts
    // as an unknown edge: nothing else supplies a value for that case.
    if (!platform.QueryTaskbar(rect, edge)) return teUnknown;
    if (edge >= std::size(kEdgeFromAppBarEdge)) return teUnknown;
    return kEdgeFromAppBarEdge[edge];
}

void PlaceWindow(GeometryPlatform& platform, HWND window, TPlaceMode mode)
{
    RECT work{};
    bool haveWorkArea = platform.QueryWorkArea(work);
    RECT bar{};
    TTaskbarEdge edge = GetTaskbarEdge(platform, bar);
    // Without a work area there is nothing to widen: it stays as the query
    // left it.
    if (!haveWorkArea) edge = teUnknown;
    WideRect area = WidenOverTaskbar({work.left, work.top, work.right, work.bottom}, edge, bar);

    int x = 0, y = 0, w = 0, h = 0;
    if (!GetWindowBounds(platform, window, x, y, w, h)) return;
    Bounds placed = PlacedBounds({x, y, w, h}, area, mode);
    // Made also when nothing changed: the move repaints the window.
    platform.Move(window, Clamp32(placed.x), Clamp32(placed.y), Clamp32(placed.w),
                  Clamp32(placed.h));
}

bool IsWindowOffScreen(GeometryPlatform& platform, int x, int y, int w, int h)
{
    const Wide left = x, top = y, right = Wide{x} + w, bottom = Wide{y} + h;
    const POINT points[] = {
        MakePoint(left, top),
        MakePoint(right, bottom),
        MakePoint(right, top),
        MakePoint(left, bottom),
        MakePoint(left + w / 2, top + h / 2),
    };
    for (const POINT& point : points) {
        if (platform.IsPointOnMonitor(point)) return false;
    }
    return true;
}

void EnsureWindowOnScreen(GeometryPlatform& platform, HWND window)
{
    if (platform.HasMaximizedStyle(window)) return;
    int x = 0, y = 0, w = 0, h = 0;
    // Unreadable bounds ask for centring too; PlaceWindow then cannot read
    // them either and moves nothing, so a minimised window stays put.
    if (!GetWindowBounds(platform, window, x, y, w, h) || IsWindowOffScreen(platform, x, y, w, h))
        PlaceWindow(platform, window, wpCenter);
}

bool GetVisibleWindowRect(HWND window, RECT& rect)
{
    return GetVisibleWindowRect(SystemGeometryPlatform(), window, rect);
}

bool GetWindowBounds(HWND window, int& x, int& y, int& w, int& h)
{
    return GetWindowBounds(SystemGeometryPlatform(), window, x, y, w, h);
}

TTaskbarEdge GetTaskbarEdge(RECT& rect) { return GetTaskbarEdge(SystemGeometryPlatform(), rect); }

void PlaceWindow(HWND window, TPlaceMode mode) { PlaceWindow(SystemGeometryPlatform(), window, mode); }

bool IsWindowOffScreen(int x, int y, int w, int h)
{
    return IsWindowOffScreen(SystemGeometryPlatform(), x, y, w, h);
}

void EnsureWindowOnScreen(HWND window) { EnsureWindowOnScreen(SystemGeometryPlatform(), window); }

}  // namespace desktop
