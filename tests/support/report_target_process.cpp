#include "support/report_target_process.h"

#include <atomic>
#include <cstdint>

#include "desktop/program_path.h"

namespace testsupport {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kPollMs = 10;

}  // namespace

TReportTargetProcess::TReportTargetProcess(TMode mode, HWND owner) : m_programPath(BinPath(L"report_target.exe"))
{
    static std::atomic<unsigned> counter{0};
    const std::wstring token = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    m_caption = L"report_target " + token;
    const wchar_t* modeName = mode == TMode::Hang ? L"hang " : mode == TMode::Unlisted ? L"unlisted " : L"serve ";
    std::wstring commandLine = L"\"" + m_programPath + L"\" " + modeName + token;
    if (owner) commandLine += L" " + std::to_wstring(reinterpret_cast<std::uintptr_t>(owner));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(m_programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return;
    m_process.reset(process.hProcess);
    desktop::KernelHandle thread(process.hThread);
    m_processId = process.dwProcessId;

    for (DWORD waited = 0; waited < kStartTimeoutMs && !m_button; waited += kPollMs) {
        m_top = ::FindWindowW(L"ReportTargetTop", m_caption.c_str());
        if (m_top) m_panel = ::FindWindowExW(m_top, nullptr, L"ReportTargetPanel", nullptr);
        if (m_panel) m_button = ::FindWindowExW(m_panel, nullptr, L"Button", nullptr);
        if (!m_button) ::Sleep(kPollMs);
    }
}

TReportTargetProcess::~TReportTargetProcess()
{
    if (!m_process) return;
    ::TerminateProcess(m_process.get(), 0);
    ::WaitForSingleObject(m_process.get(), kStartTimeoutMs);
}

}  // namespace testsupport
