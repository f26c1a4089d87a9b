#include "hook/win32_window_tree.h"

namespace hook {

HWND Win32WindowTree::TopWindowAt(POINT point) const
{
    // The platform's own hit test picks the top-level window (it knows
    // layered, transparent and shaped windows); the walk down is ours.
    HWND hit = ::WindowFromPoint(point);
    return hit != nullptr ? ::GetAncestor(hit, GA_ROOT) : nullptr;
}

HWND Win32WindowTree::FirstChild(HWND window) const
{
    // Over no window the desktop is hit; its children are the other
    // top-level windows, which the hit test has already ruled out.
    if (window == ::GetDesktopWindow()) return nullptr;
    return ::GetWindow(window, GW_CHILD);
}

HWND Win32WindowTree::NextSibling(HWND window) const { return ::GetWindow(window, GW_HWNDNEXT); }

bool Win32WindowTree::IsVisible(HWND window) const { return ::IsWindowVisible(window) != FALSE; }

bool Win32WindowTree::WindowRect(HWND window, RECT& rect) const { return ::GetWindowRect(window, &rect) != FALSE; }

bool Win32WindowTree::ClientRect(HWND window, RECT& rect) const
{
    if (!::GetClientRect(window, &rect)) return false;
    POINT origin{0, 0};
    if (!::ClientToScreen(window, &origin)) return false;
    ::OffsetRect(&rect, origin.x, origin.y);
    return true;
}

}  // namespace hook
