// The restored rectangle of a minimised or maximised window, turned back
// from the workspace coordinates the window system hands out, over a fake
// set of monitors that places windows as the system does.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "desktop/restored_window_rect.h"

using desktop::TMonitorAreas;

namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));

std::string Show(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LONG Overlap(const RECT& a, const RECT& b)
{
    const LONG w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const LONG h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Monitors, the first one primary, and one window. The window system keeps
// the restored rectangle in screen coordinates and hands it out relative to
// the work area of the monitor that rectangle lies on most; with no such
// monitor, the primary one. The monitor of a minimised window is the one of
// its restored rectangle, that of any other window the one of its
// rectangle.
class FakeMonitors final : public desktop::RestoredRectPlatform {
public:
    std::vector<TMonitorAreas> monitors;
    bool minimized = false;
    bool maximized = false;
    RECT restored{};     // screen coordinates
    RECT windowRect{};  // where the window is now

    bool IsMinimized(HWND) override { return minimized; }
    bool IsMaximized(HWND) override { return maximized; }
    RECT WindowRect(HWND) override { return windowRect; }
    RECT PlacementNormalRect(HWND) override
    {
        const TMonitorAreas& m = Containing(restored);
        const LONG dx = m.Work.left - m.Monitor.left, dy = m.Work.top - m.Monitor.top;
        return RECT{restored.left - dx, restored.top - dy, restored.right - dx, restored.bottom - dy};
    }
    TMonitorAreas MonitorOfWindow(HWND) override { return Containing(minimized ? restored : windowRect); }

private:
    const TMonitorAreas& Containing(const RECT& rect) const
    {
        const TMonitorAreas* best = &monitors.front();
        LONG bestOverlap = 0;
        for (const TMonitorAreas& m : monitors) {
            const LONG overlap = Overlap(rect, m.Monitor);
            if (overlap > bestOverlap) {
                best = &m;
                bestOverlap = overlap;
            }
        }
        return *best;
    }
};

constexpr RECT kPrimary{0, 0, 1920, 1080};

TEST(RestoredWindowRect, WorkspaceCoordinatesTurnBackIntoScreenCoordinates)
{
    enum class State { Normal, Minimized, Maximized };
    struct Case {
        const char* label;
        std::vector<TMonitorAreas> monitors;
        State state;
        RECT restored;
        RECT now;  // the window's rectangle in its state
    };
    const TMonitorAreas plain{kPrimary, kPrimary};
    const TMonitorAreas taskbarBottom{kPrimary, RECT{0, 0, 1920, 1032}};
    const TMonitorAreas taskbarLeft{kPrimary, RECT{62, 0, 1920, 1080}};
    const TMonitorAreas taskbarTop{kPrimary, RECT{0, 40, 1920, 1080}};
    // A second monitor right of the primary one with its taskbar at the
    // left, and one below it with its taskbar at the top.
    const TMonitorAreas rightLeftBar{RECT{1920, 0, 3840, 1080}, RECT{2020, 0, 3840, 1080}};
    const TMonitorAreas belowTopBar{RECT{0, 1080, 1920, 2160}, RECT{0, 1120, 1920, 2160}};
    const RECT iconic{-32000, -32000, -31840, -31969};
    const Case cases[] = {
        {"normal: the window's own rectangle", {taskbarLeft}, State::Normal, RECT{300, 200, 1200, 700},
         RECT{300, 200, 1200, 700}},
        {"minimised, taskbar at the bottom", {taskbarBottom}, State::Minimized, RECT{300, 200, 1200, 700}, iconic},
        {"minimised, taskbar at the left", {taskbarLeft}, State::Minimized, RECT{300, 200, 1200, 700}, iconic},
        {"minimised, taskbar at the top", {taskbarTop}, State::Minimized, RECT{300, 200, 1200, 700}, iconic},
        {"minimised on the second monitor", {plain, rightLeftBar}, State::Minimized, RECT{2500, 100, 3400, 600},
         iconic},
        {"minimised across two monitors, mostly on the one with its taskbar at the left",
         {plain, rightLeftBar}, State::Minimized, RECT{1500, 100, 2400, 700}, iconic},
        {"minimised across two monitors, mostly on the one with its taskbar at the top",
         {plain, belowTopBar}, State::Minimized, RECT{100, 900, 900, 1300}, iconic},
        {"minimised across two monitors, mostly on the primary one", {plain, rightLeftBar}, State::Minimized,
         RECT{1300, 100, 2200, 700}, iconic},
        {"minimised on no monitor: relative to the primary one", {taskbarLeft, rightLeftBar}, State::Minimized,
         RECT{-5000, -5000, -4000, -4500}, iconic},
        {"maximised on the monitor with its taskbar at the left", {plain, rightLeftBar}, State::Maximized,
         RECT{1500, 100, 2400, 700}, RECT{2012, -8, 3848, 1088}},
    };
    for (const Case& c : cases) {
        FakeMonitors desktop;
        desktop.monitors = c.monitors;
        desktop.minimized = c.state == State::Minimized;
        desktop.maximized = c.state == State::Maximized;
        desktop.restored = c.restored;
        desktop.windowRect = c.now;
        const RECT rect = desktop::GetRestoredWindowRect(desktop, kWindow);
        EXPECT_TRUE(rect == c.restored) << c.label << ": " << Show(rect) << " instead of " << Show(c.restored);
    }
}

}  // namespace
