#include "support/hook_target_process.h"

#include <array>
#include <string>

#include "support/xdotool.h"
#include "tests/fixtures/hook_target.h"

namespace testsupport {
namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchFixtureWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    std::array<wchar_t, 64> className{};
    ::GetClassNameW(window, className.data(), static_cast<int>(className.size()));
    if (processId == search.processId && std::wstring(className.data()) == hook_target::kWindowClass &&
        ::IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HookTargetProcess::~HookTargetProcess() { Stop(); }

bool HookTargetProcess::Start(unsigned timeoutMs)
{
    Stop();
    std::wstring commandLine = L"\"" + BinFolder() + L"hook_target.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    desktop::KernelHandle thread(process.hThread);
    m_process.reset(process.hProcess);
    m_processId = process.dwProcessId;
    ::WaitForInputIdle(m_process.get(), timeoutMs);
    for (unsigned waited = 0; waited < timeoutMs; waited += 20) {
        WindowSearch search{m_processId, nullptr};
        ::EnumWindows(MatchFixtureWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            m_window = search.found;
            return true;
        }
        if (::WaitForSingleObject(m_process.get(), 20) == WAIT_OBJECT_0) break;
    }
    Stop();
    return false;
}

void HookTargetProcess::Stop()
{
    if (m_process) {
        ::TerminateProcess(m_process.get(), 0);
        ::WaitForSingleObject(m_process.get(), 10000);
        m_process.reset();
    }
    m_processId = 0;
    m_window = nullptr;
}

POINT ScreenCentreOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool ClickAt(POINT point, MouseButton button)
{
    // xdotool numbers the buttons 1 left, 2 middle, 3 right.
    const int xButton = static_cast<int>(button) + 1;
    return Xdotool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y) + " click " +
                   std::to_string(xButton));
}

}  // namespace testsupport
