// The geometry arithmetic between the platform queries, fed by a fake
// desktop: work area, taskbar record, window rectangles, monitors.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <climits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "desktop/window_geometry.h"

using namespace desktop;

namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));

struct Bounds {
    int x, y, w, h;
    bool operator==(const Bounds&) const = default;
};

std::string Show(const Bounds& b)
{
    return std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.w) + "," +
           std::to_string(b.h);
}

RECT RectOf(const Bounds& b) { return RECT{b.x, b.y, b.x + b.w, b.y + b.h}; }

class FakeDesktop final : public GeometryPlatform {
public:
    RECT workArea{0, 0, 1920, 1080};
    bool workAreaOk = true;
    RECT workAreaOnFailure{};  // what a failed query leaves behind
    RECT taskbar{};
    UINT taskbarEdge = ABE_BOTTOM;
    bool taskbarOk = false;  // as on a desktop without a taskbar
    std::map<HWND, RECT> windows;
    std::set<HWND> maximized;
    std::vector<RECT> monitors{RECT{0, 0, 1920, 1080}};

    std::vector<POINT> probed;
    struct MoveCall {
        HWND window;
        Bounds bounds;
    };
    std::vector<MoveCall> moves;

    bool ReadWindowRect(HWND window, RECT& rect) override
    {
        auto found = windows.find(window);
        if (found == windows.end()) return false;
        rect = found->second;
        return true;
    }
    bool HasMaximizedStyle(HWND window) override { return maximized.count(window) != 0; }
    bool QueryWorkArea(RECT& area) override
    {
        area = workAreaOk ? workArea : workAreaOnFailure;
        return workAreaOk;
    }
    bool QueryTaskbar(RECT& rect, UINT& edge) override
    {
        rect = taskbar;
        edge = taskbarEdge;
        return taskbarOk;
    }
    bool IsPointOnMonitor(POINT p) override
    {
        probed.push_back(p);
        for (const RECT& m : monitors)
            if (p.x >= m.left && p.x < m.right && p.y >= m.top && p.y < m.bottom) return true;
        return false;
    }
    void Move(HWND window, int x, int y, int w, int h) override
    {
        moves.push_back({window, {x, y, w, h}});
        windows[window] = RECT{x, y, x + w, y + h};
    }

    void DockTaskbar(UINT edge, RECT rect)
    {
        taskbarOk = true;
        taskbarEdge = edge;
        taskbar = rect;
    }
};

}  // namespace

// Every placement in an area whose top-left corner is not (0, 0), so the
// values taken from Right and Bottom where a width or height might be
// expected show up as they stand.
TEST(PlaceWindow, EveryPlacementOfTheTable)
{
    const RECT area{100, 50, 1700, 950};
    const Bounds window{300, 200, 800, 600};
    struct Case {
        int code;
        Bounds expected;
    } cases[] = {
        {wpFullHeight, {300, 50, 800, 900}},
        {wpFullWidth, {100, 200, 1600, 600}},
        {wpTop, {300, 50, 800, 600}},
        {wpBottom, {300, 350, 800, 600}},
        {wpLeft, {100, 200, 800, 600}},
        {wpRight, {900, 200, 800, 600}},
        {wpTopLeft, {100, 50, 800, 600}},
        {wpTopRight, {900, 50, 800, 600}},
        {wpBottomLeft, {100, 350, 800, 600}},
        {wpBottomRight, {900, 350, 800, 600}},
        {wpCenter, {450, 175, 800, 600}},       // no A.Left, no A.Top added
        {wpTopHalf, {100, 50, 1700, 475}},      // W = A.Right, H = A.Bottom div 2
        {wpBottomHalf, {100, 475, 1700, 475}},  // Y and H the same value
        {wpLeftHalf, {100, 50, 850, 900}},      // A.Right div 2, full height
        {wpRightHalf, {850, 50, 850, 900}},
        {15, {300, 200, 800, 600}},
        {-1, {300, 200, 800, 600}},
        {INT_MAX, {300, 200, 800, 600}},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        desk.workArea = area;
        desk.windows[kWindow] = RectOf(window);
        PlaceWindow(desk, kWindow, static_cast<TPlaceMode>(c.code));
        // The move is made also when the bounds stay the same: it repaints.
        ASSERT_EQ(desk.moves.size(), 1u) << "code " << c.code;
        EXPECT_EQ(desk.moves[0].window, kWindow);
        EXPECT_EQ(Show(desk.moves[0].bounds), Show(c.expected)) << "code " << c.code;
    }
}

// The taskbar's edges, the widening and the integer division.
TEST(PlaceWindow, WorkAreaWidenedOverTheTaskbar)
{
    struct Case {
        const char* name;
        RECT workArea;
        bool taskbarOk;
        UINT edge;
        RECT taskbar;
        Bounds window;
        int code;
        Bounds expected;
    } cases[] = {
        {"bottom taskbar 48 high", {0, 0, 1920, 1032}, true, ABE_BOTTOM, {0, 1032, 1920, 1080},
         {100, 100, 800, 600}, wpCenter, {560, 240, 800, 600}},
        {"bottom taskbar, bottom placement", {0, 0, 1920, 1032}, true, ABE_BOTTOM,
         {0, 1032, 1920, 1080}, {100, 100, 800, 600}, wpBottom, {100, 480, 800, 600}},
        {"top taskbar 40 high", {0, 40, 1920, 1080}, true, ABE_TOP, {0, 0, 1920, 40},
         {100, 100, 800, 600}, wpTop, {100, 0, 800, 600}},
        // Top subtracts the taskbar's bottom coordinate, not its thickness.
        {"top taskbar not at the screen edge", {0, 40, 1920, 1080}, true, ABE_TOP,
         {0, 10, 1920, 40}, {100, 100, 800, 600}, wpTopLeft, {0, 0, 800, 600}},
        {"left taskbar 62 wide", {62, 0, 1920, 1080}, true, ABE_LEFT, {0, 0, 62, 1080},
         {100, 100, 800, 600}, wpLeft, {0, 100, 800, 600}},
        // Left subtracts the taskbar's right coordinate, not its thickness.
        {"left taskbar not at the screen edge", {62, 0, 1920, 1080}, true, ABE_LEFT,
         {20, 0, 62, 1080}, {100, 100, 800, 600}, wpLeft, {0, 100, 800, 600}},
        {"right taskbar", {0, 0, 1858, 1080}, true, ABE_RIGHT, {1858, 0, 1920, 1080},
         {100, 100, 800, 600}, wpRight, {1120, 100, 800, 600}},
        {"work area that already holds the strip is still widened", {0, 0, 1920, 1080}, true,
         ABE_BOTTOM, {0, 1032, 1920, 1080}, {100, 100, 800, 600}, wpBottom,
         {100, 528, 800, 600}},
        {"unknown edge: centre adds no A.Left", {62, 0, 1920, 1080}, false, ABE_LEFT,
         {0, 0, 62, 1080}, {100, 100, 800, 600}, wpCenter, {560, 240, 800, 600}},
        {"unknown edge: top half W is A.Right", {62, 0, 1920, 1080}, false, ABE_LEFT,
         {0, 0, 62, 1080}, {100, 100, 800, 600}, wpTopHalf, {62, 0, 1920, 540}},
        {"edge code the module does not know", {62, 0, 1920, 1080}, true, 4, {0, 0, 62, 1080},
         {100, 100, 800, 600}, wpLeft, {62, 100, 800, 600}},
        {"2001 wide: centre rounds toward zero", {0, 0, 1920, 1080}, false, 0, {},
         {0, 0, 2001, 1081}, wpCenter, {-40, 0, 2001, 1081}},
        {"top half", {0, 0, 1920, 1080}, false, 0, {}, {5, 5, 10, 10}, wpTopHalf,
         {0, 0, 1920, 540}},
        {"bottom half", {0, 0, 1920, 1080}, false, 0, {}, {5, 5, 10, 10}, wpBottomHalf,
         {0, 540, 1920, 540}},
        {"left half", {0, 0, 1920, 1080}, false, 0, {}, {5, 5, 10, 10}, wpLeftHalf,
         {0, 0, 960, 1080}},
        {"right half", {0, 0, 1920, 1080}, false, 0, {}, {5, 5, 10, 10}, wpRightHalf,
         {960, 0, 960, 1080}},
        {"halves of an odd area", {0, 0, 1921, 1081}, false, 0, {}, {5, 5, 10, 10},
         wpRightHalf, {960, 0, 960, 1081}},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        desk.workArea = c.workArea;
        desk.taskbarOk = c.taskbarOk;
        desk.taskbarEdge = c.edge;
        desk.taskbar = c.taskbar;
        desk.windows[kWindow] = RectOf(c.window);
        PlaceWindow(desk, kWindow, static_cast<TPlaceMode>(c.code));
        ASSERT_EQ(desk.moves.size(), 1u) << c.name;
        EXPECT_EQ(Show(desk.moves[0].bounds), Show(c.expected)) << c.name;
    }
}

// A failed work-area query is not widened by whatever the taskbar says: the
// area stays as the query left it.
TEST(PlaceWindow, FailedWorkAreaQueryIsNotWidened)
{
    FakeDesktop desk;
    desk.workAreaOk = false;
    desk.workAreaOnFailure = RECT{0, 0, 0, 0};
    desk.DockTaskbar(ABE_BOTTOM, {0, 1032, 1920, 1080});
    desk.windows[kWindow] = RectOf({100, 100, 800, 600});
    PlaceWindow(desk, kWindow, wpCenter);
    ASSERT_EQ(desk.moves.size(), 1u);
    EXPECT_EQ(Show(desk.moves[0].bounds), Show({-400, -300, 800, 600}));
}

TEST(PlaceWindow, WindowWhoseBoundsCannotBeReadIsNotMoved)
{
    struct Case {
        const char* name;
        bool exists;
        RECT rect;
    } cases[] = {
        {"minimised marker", true, {-32000, -32000, -31840, -31969}},
        {"rectangle cannot be read", false, {}},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        if (c.exists) desk.windows[kWindow] = c.rect;
        for (int code : {int{wpCenter}, int{wpTopHalf}, 15}) {
            PlaceWindow(desk, kWindow, static_cast<TPlaceMode>(code));
            EXPECT_TRUE(desk.moves.empty()) << c.name << ", code " << code;
        }
    }
}

TEST(GetTaskbarEdge, MapsThePlatformsEdgesToOurCodes)
{
    struct Case {
        bool ok;
        UINT platformEdge;
        TTaskbarEdge expected;
    } cases[] = {
        {true, ABE_LEFT, teLeft},   {true, ABE_TOP, teTop},   {true, ABE_RIGHT, teRight},
        {true, ABE_BOTTOM, teBottom}, {true, 4, teUnknown}, {true, 0xFFFFFFFFu, teUnknown},
        {false, ABE_BOTTOM, teUnknown},  // the query failed: the edge is unknown
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        desk.taskbarOk = c.ok;
        desk.taskbarEdge = c.platformEdge;
        desk.taskbar = RECT{1, 2, 3, 4};
        RECT rect{9, 9, 9, 9};
        EXPECT_EQ(GetTaskbarEdge(desk, rect), c.expected) << c.ok << " " << c.platformEdge;
        // The rectangle is copied whatever the edge, also as a failed query
        // left it.
        EXPECT_EQ(rect.left, 1);
        EXPECT_EQ(rect.top, 2);
        EXPECT_EQ(rect.right, 3);
        EXPECT_EQ(rect.bottom, 4);
    }
}

TEST(GetWindowBounds, MinimisedMarkerAndUnreadableRectangle)
{
    struct Case {
        const char* name;
        bool exists;
        RECT rect;
        bool visible;
    } cases[] = {
        {"normal", true, {10, 20, 110, 220}, true},
        {"minimised marker", true, {-32000, -32000, -31840, -31969}, false},
        {"only left at the marker", true, {-32000, 0, 100, 100}, true},
        {"only top at the marker", true, {0, -32000, 100, 100}, true},
        {"cannot be read", false, {}, false},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        if (c.exists) desk.windows[kWindow] = c.rect;
        RECT rect{};
        EXPECT_EQ(GetVisibleWindowRect(desk, kWindow, rect), c.visible) << c.name;
        if (c.exists) {
            EXPECT_EQ(rect.left, c.rect.left) << c.name << ": rect as read";
        }

        int x = 7, y = 7, w = 7, h = 7;
        EXPECT_EQ(GetWindowBounds(desk, kWindow, x, y, w, h), c.visible) << c.name;
        Bounds expected = c.visible ? Bounds{c.rect.left, c.rect.top, c.rect.right - c.rect.left,
                                             c.rect.bottom - c.rect.top}
                                    : Bounds{7, 7, 7, 7};  // untouched
        EXPECT_EQ(Show({x, y, w, h}), Show(expected)) << c.name;
    }
}

// One monitor at (0, 0, 1920, 1080) unless a case adds one. The points are
// tested in a fixed order and the first one on a monitor ends the test.
TEST(IsWindowOffScreen, FivePointsInOrderFirstHitWins)
{
    struct Case {
        const char* name;
        Bounds bounds;
        bool offScreen;
        std::vector<POINT> probed;
    } cases[] = {
        {"covers a strip but no point lies on the monitor", {-1000, -500, 4000, 600}, true,
         {{-1000, -500}, {3000, 100}, {3000, -500}, {-1000, 100}, {1000, -200}}},
        {"top-left on the monitor", {1900, 1060, 800, 600}, false, {{1900, 1060}}},
        {"monitor ends just before x 1920", {1920, 0, 800, 600}, true,
         {{1920, 0}, {2720, 600}, {2720, 0}, {1920, 600}, {2320, 300}}},
        {"bottom-right hits second", {-100, -100, 200, 200}, false, {{-100, -100}, {100, 100}}},
        {"top-right hits third", {-100, 500, 200, 1000}, false,
         {{-100, 500}, {100, 1500}, {100, 500}}},
        {"bottom-left hits fourth", {500, -100, 2000, 200}, false,
         {{500, -100}, {2500, 100}, {2500, -100}, {500, 100}}},
        {"only the centre hits", {-1000, -1000, 2500, 2500}, false,
         {{-1000, -1000}, {1500, 1500}, {1500, -1000}, {-1000, 1500}, {250, 250}}},
        {"centre halves toward zero", {-81, -81, -81, -81}, true,
         {{-81, -81}, {-162, -162}, {-162, -81}, {-81, -162}, {-121, -121}}},
        // The far corners lie one past the rectangle: a window ending at the
        // monitor's corner reaches it, one a pixel smaller does not.
        {"far corner is the monitor's first pixel", {-800, -600, 800, 600}, false,
         {{-800, -600}, {0, 0}}},
        {"far corner one pixel short", {-800, -600, 799, 599}, true,
         {{-800, -600}, {-1, -1}, {-1, -600}, {-800, -1}, {-401, -301}}},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        EXPECT_EQ(IsWindowOffScreen(desk, c.bounds.x, c.bounds.y, c.bounds.w, c.bounds.h),
                  c.offScreen)
            << c.name;
        ASSERT_EQ(desk.probed.size(), c.probed.size()) << c.name;
        for (size_t i = 0; i < c.probed.size(); ++i) {
            EXPECT_EQ(desk.probed[i].x, c.probed[i].x) << c.name << ", point " << i;
            EXPECT_EQ(desk.probed[i].y, c.probed[i].y) << c.name << ", point " << i;
        }
    }
}

// A far-off window whose corners would wrap around the 32-bit range onto a
// monitor on the other side still counts as off screen.
TEST(IsWindowOffScreen, CornersBeyondTheIntegerRangeDoNotWrap)
{
    FakeDesktop desk;
    desk.monitors.push_back(RECT{-1920, 0, 0, 1080});  // a monitor left of the primary one
    EXPECT_TRUE(IsWindowOffScreen(desk, INT_MAX, 10, INT_MAX, 10));
    ASSERT_EQ(desk.probed.size(), 5u);
    EXPECT_EQ(desk.probed[1].x, INT_MAX);
    EXPECT_EQ(desk.probed[4].x, INT_MAX);
}

TEST(EnsureWindowOnScreen, CentresOnlyANormalWindowOnNoMonitor)
{
    struct Case {
        const char* name;
        bool exists;
        RECT rect;
        bool maximized;
        bool moved;
        Bounds expected;
    } cases[] = {
        {"off screen", true, RectOf({-5000, -5000, 800, 600}), false, true, {560, 240, 800, 600}},
        {"partly on screen", true, RectOf({1900, 1060, 800, 600}), false, false, {}},
        {"on screen", true, RectOf({100, 100, 800, 600}), false, false, {}},
        {"maximised with an off-screen rectangle", true, RectOf({-5000, -5000, 800, 600}), true,
         false, {}},
        {"minimised", true, RectOf({-32000, -32000, 160, 31}), false, false, {}},
        {"minimised after being maximised", true, RectOf({-32000, -32000, 160, 31}), true, false,
         {}},
        {"rectangle cannot be read", false, {}, false, false, {}},
    };
    for (const Case& c : cases) {
        FakeDesktop desk;
        desk.workArea = RECT{0, 0, 1920, 1032};
        desk.DockTaskbar(ABE_BOTTOM, {0, 1032, 1920, 1080});
        if (c.exists) desk.windows[kWindow] = c.rect;
        if (c.maximized) desk.maximized.insert(kWindow);
        EnsureWindowOnScreen(desk, kWindow);
        ASSERT_EQ(desk.moves.size(), c.moved ? 1u : 0u) << c.name;
        if (c.moved) {
            EXPECT_EQ(Show(desk.moves[0].bounds), Show(c.expected)) << c.name;
        }
    }
}
