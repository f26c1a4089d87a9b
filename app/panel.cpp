#include "app/panel.h"

namespace app {

namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";

LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return ::SendMessageW(::GetParent(window), message, wParam, lParam);
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

TPanel::TPanel(HWND parent)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!::GetClassInfoExW(::GetModuleHandleW(nullptr), kPanelClass, &windowClass)) {
        windowClass.lpfnWndProc = PanelProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kPanelClass;
        ::RegisterClassExW(&windowClass);
    }
    m_handle = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void TPanel::SetBounds(int x, int y, int width, int height)
{
    ::MoveWindow(Handle(), x, y, width, height, TRUE);
}

}  // namespace app
