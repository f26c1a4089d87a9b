// Which window a press at a screen point is on, the way window tools answer
// it: the top-level window there, then at each level down the smallest
// visible child whose rectangle holds the point. Disabled windows count
// (hit testing skips them, a tool must not), and so do static frames such
// as group boxes; where sibling controls overlap (a check box drawn inside
// a group box is the group box's sibling), the smallest one wins, and of
// equal ones the one higher in the Z order.
#pragma once

#include <windows.h>

namespace hook {

// The window queries the answer needs; the library answers them from the
// platform, tests from a fake tree.
class WindowTree {
public:
    virtual ~WindowTree() = default;
    // The top-level window at the point, or null.
    virtual HWND TopWindowAt(POINT point) const = 0;
    // The children of a window in Z order, topmost first; null ends them.
    virtual HWND FirstChild(HWND window) const = 0;
    virtual HWND NextSibling(HWND window) const = 0;
    virtual bool IsVisible(HWND window) const = 0;
    // Screen rectangles; false when the window is gone.
    virtual bool WindowRect(HWND window, RECT& rect) const = 0;
    virtual bool ClientRect(HWND window, RECT& rect) const = 0;
};

inline bool RectHolds(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The deepest window at the point, or null when no window is there.
inline HWND DeepestWindowAt(const WindowTree& tree, POINT point)
{
    // Bounds that only a window tree changing under the walk could reach.
    constexpr int kMaxDepth = 256;
    constexpr int kMaxSiblings = 65536;

    HWND current = tree.TopWindowAt(point);
    for (int depth = 0; current != nullptr && depth < kMaxDepth; ++depth) {
        // Children are clipped to their parent's client area: on its frame
        // or caption the parent is the answer.
        RECT client{};
        if (!tree.ClientRect(current, client) || !RectHolds(client, point)) break;
        HWND smallest = nullptr;
        long long smallestArea = 0;
        int seen = 0;
        for (HWND child = tree.FirstChild(current); child != nullptr && seen < kMaxSiblings;
             child = tree.NextSibling(child), ++seen) {
            RECT rect{};
            if (!tree.IsVisible(child) || !tree.WindowRect(child, rect) || !RectHolds(rect, point)) continue;
            const long long area = static_cast<long long>(rect.right - rect.left) * (rect.bottom - rect.top);
            if (smallest == nullptr || area < smallestArea) {
                smallest = child;
                smallestArea = area;
            }
        }
        if (smallest == nullptr) break;
        current = smallest;
    }
    return current;
}

}  // namespace hook
