#include "app/form.h"

#include <string>

#include "app/application.h"
#include "app/dpi.h"
#include "app/edge_snap.h"
#include "desktop/app_error.h"

namespace app {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
// The main window cannot be created; the system's reason follows.
constexpr wchar_t kCannotCreateWindowMessage[] = L"メインウィンドウを作成できません。";

void RegisterFormClass(const wchar_t* className, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), className, &windowClass)) return;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    ::RegisterClassExW(&windowClass);
}

}  // namespace

TForm::TForm(const TFormDesign& design)
    : m_fontDesign(design.Font), m_designClientWidth(design.ClientWidth), m_designClientHeight(design.ClientHeight)
{
    RegisterFormClass(design.ClassName, WindowProcedure);
    // Hidden, where the system places a new window; the DPI of its monitor
    // then decides its size.
    HWND window = ::CreateWindowExW(kFormExStyle, design.ClassName, design.Caption, kFormStyle, CW_USEDEFAULT,
                                    CW_USEDEFAULT, design.ClientWidth, design.ClientHeight, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), this);
    // The handle was taken over at WM_NCCREATE.
    if (!window) {
        const DWORD error = ::GetLastError();
        throw desktop::EAppError(kCannotCreateWindowMessage +
                                 (error != ERROR_SUCCESS ? desktop::SystemErrorText(error) : std::wstring()));
    }
    m_dpi = DpiOfWindow(window);
    SIZE outer = OuterSizeForClient(Scale(m_designClientWidth), Scale(m_designClientHeight), kFormStyle, kFormExStyle,
                                    m_dpi);
    ::SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RebuildFont();
}

TForm::~TForm() { StopDispatching(); }

void TForm::StopDispatching()
{
    if (m_handle) ::SetWindowLongPtrW(m_handle.get(), GWLP_USERDATA, 0);
    m_controls.clear();
    m_messageHandlers.clear();
}

int TForm::Scale(int designPixels) const { return ScaleForDpi(designPixels, m_dpi); }

void TForm::SetFontFace(const std::wstring& face)
{
    m_fontDesign.Face = face;
    RebuildFont();
}

void TForm::RebuildFont()
{
    LOGFONTW font{};
    font.lfHeight = -Scale(m_fontDesign.Height);
    font.lfCharSet = m_fontDesign.Charset;
    font.lfQuality = DEFAULT_QUALITY;
    m_fontDesign.Face.copy(font.lfFaceName, LF_FACESIZE - 1);
    m_font.reset(::CreateFontIndirectW(&font));
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    for (TControl* control : m_controls) control->ApplyFont(m_font.get());
}

void TForm::AddControl(TControl& control)
{
    m_controls.push_back(&control);
    control.ApplyDpi(m_dpi);
    control.ApplyFont(m_font.get());
}

void TForm::SetMessageHandler(UINT message, std::function<void(TMessage&)> handler)
{
    m_messageHandlers[message] = std::move(handler);
}

void TForm::Close() { ::SendMessageW(Handle(), WM_CLOSE, 0, 0); }

bool TForm::PreTranslateMessage(MSG& message)
{
    HWND form = Handle();
    if (!form || (message.hwnd != form && !::IsChild(form, message.hwnd))) return false;
    if (message.message == WM_SYSCHAR && OnAccessKey && OnAccessKey(static_cast<wchar_t>(message.wParam)))
        return true;
    // Tab and Shift+Tab move the focus to the next or previous control that
    // takes it, also out of a text area: the form's text areas do not want
    // tabs. Ctrl+Tab and everything else go to the focused control as usual.
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && !(::GetKeyState(VK_CONTROL) & 0x8000)) {
        HWND focus = ::GetFocus();
        const BOOL backward = (::GetKeyState(VK_SHIFT) & 0x8000) ? TRUE : FALSE;
        if (HWND next = ::GetNextDlgTabItem(form, ::IsChild(form, focus) ? focus : nullptr, backward))
            ::SetFocus(next);
        return true;
    }
    return false;
}

bool TForm::RunCloseQuery()
{
    bool canClose = true;
    try {
        if (OnCloseQuery) OnCloseQuery(*this, canClose);
    } catch (...) {
        Application.HandleException(this);
        return false;
    }
    return canClose;
}

bool TForm::CloseQueryForEndSession() { return RunCloseQuery(); }

void TForm::ChangeDpi(UINT dpi, const RECT* suggested)
{
    m_dpi = dpi;
    RebuildFont();
    for (TControl* control : m_controls) control->ApplyDpi(dpi);
    if (suggested)
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (OnResize) OnResize(*this);
}

void TForm::SnapMove(WINDOWPOS& position)
{
    if (!ScreenSnap || !m_inSizeMove || (position.flags & SWP_NOMOVE)) return;
    RECT current{};
    ::GetWindowRect(Handle(), &current);
    int width = current.right - current.left, height = current.bottom - current.top;
    if (!(position.flags & SWP_NOSIZE) && (position.cx != width || position.cy != height)) return;
    RECT target{position.x, position.y, position.x + width, position.y + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    TSnapPosition snapped =
        SnapToArea(position.x, position.y, width, height, TSnapArea{work.left, work.top, work.right, work.bottom});
    position.x = snapped.X;
    position.y = snapped.Y;
}

LRESULT CALLBACK TForm::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* form = static_cast<TForm*>(create->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->m_handle.reset(window);
    }
    auto* form = reinterpret_cast<TForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    // No exception may cross into the system: it goes to the default handler.
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        Application.HandleException(form);
        return 0;
    }
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = Handle();
    if (auto handler = m_messageHandlers.find(message); handler != m_messageHandlers.end()) {
        TMessage packed{message, wParam, lParam, 0};
        handler->second(packed);
        return packed.Result;
    }
    switch (message) {
    case WM_COMMAND:
        for (TControl* control : m_controls)
            if (control->HandleCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case WM_SIZE:
        if (OnResize) OnResize(*this);
        return 0;
    case WM_ENTERSIZEMOVE:
        m_inSizeMove = true;
        break;
    case WM_EXITSIZEMOVE:
        m_inSizeMove = false;
        break;
    case WM_WINDOWPOSCHANGING:
        SnapMove(*reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        // A read-only text area keeps the window colour.
        if ((::GetWindowLongW(reinterpret_cast<HWND>(lParam), GWL_STYLE) & ES_READONLY) != 0) {
            wchar_t className[16]{};
            ::GetClassNameW(reinterpret_cast<HWND>(lParam), className, 16);
            if (::lstrcmpiW(className, L"Edit") == 0) {
                ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
                ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
            }
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(window, focus)) m_lastFocus = focus;
        }
        break;
    case WM_SETFOCUS:
        if (m_lastFocus && ::IsWindow(m_lastFocus) && ::IsChild(window, m_lastFocus)) {
            ::SetFocus(m_lastFocus);
        } else if (HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE)) {
            ::SetFocus(first);
        }
        return 0;
    case WM_CLOSE:
        if (RunCloseQuery()) ::DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        return RunCloseQuery() ? TRUE : FALSE;
    case WM_DESTROY:
        if (OnDestroy) {
            try {
                OnDestroy(*this);
            } catch (...) {
                Application.HandleException(this);
            }
        }
        if (Application.MainForm() == this) ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_handle.release();
        return ::DefWindowProcW(window, message, wParam, lParam);
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace app
