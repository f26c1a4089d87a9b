#include "app/memo.h"

#include <commctrl.h>

#include "app/application.h"

namespace app {

namespace {

constexpr UINT_PTR kMemoSubclassId = 1;

}  // namespace

TMemo::TMemo(HWND parent, bool readOnly)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                  ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
    if (readOnly) style |= ES_READONLY;
    m_handle = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, 0, 0, parent, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    // The default limit of about 32 000 characters would cut a long report
    // or memo short; 0 asks for the largest the platform allows.
    ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
    ::SetWindowSubclass(Handle(), SubclassProcedure, kMemoSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

TMemo::~TMemo()
{
    // The window outlives this object: it must no longer call into it.
    if (m_handle) ::RemoveWindowSubclass(m_handle, SubclassProcedure, kMemoSubclassId);
}

void TMemo::SetBounds(int x, int y, int width, int height) { ::MoveWindow(Handle(), x, y, width, height, TRUE); }

std::wstring TMemo::TextOf(HWND area)
{
    int length = ::GetWindowTextLengthW(area);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(area, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void TMemo::Clear() { ::SetWindowTextW(Handle(), L""); }

void TMemo::AppendLine(const std::wstring& line)
{
    std::wstring text(line.c_str());
    text += L"\r\n";
    const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(Handle()));
    ::SendMessageW(Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemo::SelectAll() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void TMemo::BeginUpdate()
{
    if (m_updateDepth++ == 0) ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TMemo::EndUpdate()
{
    if (m_updateDepth > 0 && --m_updateDepth == 0) {
        ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TMemo::ApplyFont(HFONT font) { ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

LRESULT CALLBACK TMemo::SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data)
{
    auto* memo = reinterpret_cast<TMemo*>(data);
    if (message == WM_NCDESTROY) {
        // The window goes with its parent; nothing is left to unhook later.
        ::RemoveWindowSubclass(window, SubclassProcedure, kMemoSubclassId);
        memo->m_handle = nullptr;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    // Some edit controls select all on Ctrl+A by themselves, whatever else
    // is held; the key handler alone decides, on the character it types.
    if (message == WM_KEYDOWN && wParam == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) && memo->OnKeyPress) return 0;
    if (message == WM_CHAR && memo->OnKeyPress) {
        auto key = static_cast<wchar_t>(wParam);
        // No exception may cross into the system: it goes to the default handler.
        try {
            memo->OnKeyPress(*memo, key);
        } catch (...) {
            Application.HandleException();
            return 0;
        }
        if (key == L'\0') return 0;
        wParam = key;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace app
