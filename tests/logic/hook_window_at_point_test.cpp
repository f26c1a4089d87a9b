// Which window a press is on, over a fake window tree.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hook/window_at_point.h"

namespace {

HWND Handle(int id) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id)); }
int Id(HWND window) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(window)); }

struct FakeWindow {
    int id;
    int parent;  // 0 for a top-level window
    RECT rect;
    bool visible = true;
    RECT client{};  // empty: the whole rectangle
    bool gone = false;
};

// Windows in Z order, topmost first among siblings.
class FakeTree final : public hook::WindowTree {
public:
    FakeTree(std::vector<FakeWindow> windows, int top) : m_windows(std::move(windows)), m_top(top) {}

    HWND TopWindowAt(POINT) const override { return Handle(m_top); }
    HWND FirstChild(HWND window) const override { return After(Id(window), -1); }
    HWND NextSibling(HWND window) const override
    {
        const int index = IndexOf(Id(window));
        return index < 0 ? nullptr : After(m_windows[index].parent, index);
    }
    bool IsVisible(HWND window) const override { return Find(window) != nullptr && Find(window)->visible; }
    bool WindowRect(HWND window, RECT& rect) const override
    {
        const FakeWindow* w = Find(window);
        if (w == nullptr || w->gone) return false;
        rect = w->rect;
        return true;
    }
    bool ClientRect(HWND window, RECT& rect) const override
    {
        const FakeWindow* w = Find(window);
        if (w == nullptr || w->gone) return false;
        rect = ::IsRectEmpty(&w->client) ? w->rect : w->client;
        return true;
    }

private:
    int IndexOf(int id) const
    {
        for (std::size_t i = 0; i < m_windows.size(); ++i)
            if (m_windows[i].id == id) return static_cast<int>(i);
        return -1;
    }
    const FakeWindow* Find(HWND window) const
    {
        const int index = IndexOf(Id(window));
        return index < 0 ? nullptr : &m_windows[index];
    }
    // The next window with this parent after position `index`.
    HWND After(int parent, int index) const
    {
        for (std::size_t i = index + 1; i < m_windows.size(); ++i)
            if (m_windows[i].parent == parent) return Handle(m_windows[i].id);
        return nullptr;
    }

    std::vector<FakeWindow> m_windows;
    int m_top;
};

// A dialog at (100, 100)-(500, 400) with its client area from (104, 130).
constexpr RECT kDialog{100, 100, 500, 400};
constexpr RECT kDialogClient{104, 130, 496, 396};

struct PointCase {
    const char* name;
    std::vector<FakeWindow> windows;
    int top;
    POINT point;
    int expected;
};

TEST(WindowAtPoint, FindsTheDeepestSmallestVisibleWindow)
{
    const PointCase cases[] = {
        {"no window at the point", {}, 0, {10, 10}, 0},
        {"a top-level window without children", {{1, 0, kDialog}}, 1, {200, 200}, 1},
        {"the child under the point",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {120, 140, 220, 170}}, {3, 1, {120, 180, 220, 210}}},
         1, {150, 190}, 3},
        {"the grandchild under the point",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 380}}, {3, 2, {120, 150, 200, 180}}},
         1, {130, 160}, 3},
        {"a point beside every child stays on the parent",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 380}}, {3, 2, {120, 150, 200, 180}}},
         1, {300, 300}, 2},
        {"a check box inside a group box it is the sibling of, group box upper in Z order",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 300}}, {3, 1, {130, 170, 250, 194}}},
         1, {140, 180}, 3},
        {"inside the group box but beside the check box: the group box",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 300}}, {3, 1, {130, 170, 250, 194}}},
         1, {350, 250}, 2},
        {"a hidden smaller sibling is passed over",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 300}}, {3, 1, {130, 170, 250, 194}, false}},
         1, {140, 180}, 2},
        {"children of a hidden window are not looked at",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 300}, false}, {3, 2, {130, 170, 250, 194}}},
         1, {140, 180}, 1},
        {"equal overlapping siblings: the upper in Z order",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {120, 140, 220, 170}}, {3, 1, {120, 140, 220, 170}}},
         1, {150, 150}, 2},
        {"the right and bottom edges lie one past the window",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {120, 140, 220, 170}}},
         1, {220, 170}, 1},
        {"on the caption, where a child reaches out of the client area: the top-level window",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {104, 104, 300, 200}}},
         1, {150, 115}, 1},
        {"a window that is gone is passed over",
         {{1, 0, kDialog, true, kDialogClient}, {2, 1, {110, 140, 400, 300}}, {3, 1, {130, 170, 250, 194}, true, {}, true}},
         1, {140, 180}, 2},
        {"negative coordinates of a monitor left of the primary one",
         {{1, 0, {-800, 100, -400, 400}}, {2, 1, {-700, 150, -600, 180}}},
         1, {-650, 160}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FakeTree tree(c.windows, c.top);
        EXPECT_EQ(Id(hook::DeepestWindowAt(tree, c.point)), c.expected);
    }
}

}  // namespace
