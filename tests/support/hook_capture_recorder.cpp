#include "support/hook_capture_recorder.h"

#include "inspect/capture_message.h"

namespace testsupport {
namespace {
constexpr wchar_t kRecorderClass[] = L"QuillowCaptureRecorder";
}

CaptureRecorder::CaptureRecorder()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    ::RegisterClassW(&windowClass);  // result not checked: a second recorder finds the class there
    m_window.reset(::CreateWindowExW(0, kRecorderClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     windowClass.hInstance, this));
}

LRESULT CALLBACK CaptureRecorder::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == inspect::WM_CAPTUREWINDOW) {
        auto* self = reinterpret_cast<CaptureRecorder*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr) self->m_captures.push_back(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CaptureRecorder::Pump(unsigned ms, std::size_t stopAtCount)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    while (m_captures.size() < stopAtCount) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
}

const std::vector<HWND>& CaptureRecorder::WaitFor(std::size_t count, unsigned timeoutMs, unsigned settleMs)
{
    Pump(timeoutMs, count);
    Pump(settleMs, static_cast<std::size_t>(-1));
    return m_captures;
}

}  // namespace testsupport
