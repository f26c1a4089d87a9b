#include "app/application.h"

#include <objbase.h>

#include "app/error_box.h"
#include "app/form.h"

namespace app {

TApplication Application;

namespace {

constexpr wchar_t kApplicationWindowClass[] = L"TApplication";

LRESULT CALLBACK ApplicationWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void TApplication::Initialize()
{
    m_comInitialized = SUCCEEDED(::CoInitialize(nullptr));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ApplicationWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kApplicationWindowClass;
    ::RegisterClassExW(&windowClass);
    // Zero size and off screen: it is never shown.
    m_handle = ::CreateWindowExW(0, kApplicationWindowClass, m_title.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS |
                                     WS_SYSMENU | WS_MINIMIZEBOX,
                                 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
}

void TApplication::Finalize()
{
    if (m_handle) ::DestroyWindow(m_handle);
    m_handle = nullptr;
    if (m_comInitialized) ::CoUninitialize();
    m_comInitialized = false;
}

void TApplication::SetTitle(const std::wstring& title)
{
    m_title = title;
    if (m_handle && (::GetWindowLongW(m_handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0)
        ::SetWindowTextW(m_handle, title.c_str());
}

void TApplication::SetMainFormOnTaskBar()
{
    if (!m_handle) return;
    ::SetWindowLongW(m_handle, GWL_EXSTYLE, ::GetWindowLongW(m_handle, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ::SetWindowTextW(m_handle, L"");
}

void TApplication::HandleException(const TForm* raisedIn)
{
    HWND owner = nullptr;
    if (m_mainForm && ::IsWindow(m_mainForm->Handle()))
        owner = m_mainForm->Handle();
    else if (raisedIn && ::IsWindow(raisedIn->Handle()))
        owner = raisedIn->Handle();
    HandleCurrentException(owner);
}

bool TApplication::ProcessMessage(MSG& message)
{
    if (message.message == WM_QUIT) return false;
    // Access keys run their commands from here, outside any window procedure.
    try {
        if (m_mainForm && m_mainForm->PreTranslateMessage(message)) return true;
    } catch (...) {
        HandleException();
        return true;
    }
    ::TranslateMessage(&message);
    // Nothing is caught around the dispatch: on x86 an exception cannot
    // unwind through the system's frames, so every window procedure of ours
    // hands its own exceptions to HandleException.
    ::DispatchMessageW(&message);
    return true;
}

void TApplication::Run()
{
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
}

}  // namespace app
