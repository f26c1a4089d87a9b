// A test's own target for capture messages: a message-only window that
// records the handle of every WM_CAPTUREWINDOW it receives.
#pragma once

#include <windows.h>

#include <vector>

#include "desktop/handles.h"

namespace testsupport {

class CaptureRecorder {
public:
    CaptureRecorder();
    CaptureRecorder(const CaptureRecorder&) = delete;
    CaptureRecorder& operator=(const CaptureRecorder&) = delete;

    HWND Window() const { return m_window.get(); }
    // Handles this thread's messages until `count` captures have arrived or
    // the timeout has passed, then for `settleMs` more, so that captures
    // that should not come have had the time to come.
    const std::vector<HWND>& WaitFor(std::size_t count, unsigned timeoutMs = 10000, unsigned settleMs = 300);
    const std::vector<HWND>& Captures() const { return m_captures; }
    void Clear() { m_captures.clear(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Pump(unsigned ms, std::size_t stopAtCount);

    std::vector<HWND> m_captures;
    desktop::WindowHandle m_window;
};

}  // namespace testsupport
