// The window report's cost against the platform's: builds a chain of ten
// real windows (the top one in a second process, a copy of this program),
// writes the report on the deepest one many times and, in the same run,
// makes the bare platform queries that one report needs. Prints both
// medians and their ratio; the ratio is the figure to watch.
//   bench_report.exe [REPORTS]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "desktop/handles.h"
#include "desktop/program_path.h"
#include "desktop/psapi_binding.h"
#include "inspect/own_executable_path.h"
#include "inspect/win32_window_queries.h"
#include "inspect/window_report.h"

namespace {

constexpr wchar_t kHostClass[] = L"BenchReportHost";
constexpr wchar_t kChainClass[] = L"BenchReportChain";
constexpr wchar_t kHostOption[] = L"--host";
constexpr int kChainLength = 10;  // the host's window and nine of ours
constexpr int kDefaultReports = 2000;
constexpr int kWarmUpReports = 50;
constexpr UINT kHostLifetimeMs = 300000;
constexpr DWORD kStartTimeoutMs = 20000;

using Clock = std::chrono::steady_clock;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER || message == WM_CLOSE) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClassOf(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    ::RegisterClassW(&windowClass);
}

// The second process: one top-level window that answers until closed.
int RunHost(const std::wstring& caption)
{
    RegisterClassOf(kHostClass, HostProcedure);
    HWND window = ::CreateWindowExW(0, kHostClass, caption.c_str(), WS_POPUP, 100, 100, 640, 480, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (!window) return 1;
    ::SetTimer(window, 1, kHostLifetimeMs, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}

class TCountingArea final : public inspect::TReportArea {
public:
    void Clear() override { Lines = 0; }
    void AppendLine(const std::wstring& line) override
    {
        ++Lines;
        Characters += line.size();
    }
    std::size_t Lines = 0;
    std::size_t Characters = 0;
};

// What one report asks of the platform, made directly: the program path of
// the captured window, the four queries and the walk step for each window
// of the chain, the program path of the top window.
std::size_t BareQueries(HWND deepest)
{
    std::size_t characters = 0;
    auto programPath = [&](HWND window) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        wchar_t path[MAX_PATH + 1] = {};
        characters += desktop::BoundGetModuleFileNameExW(process, nullptr, path, MAX_PATH);
        ::CloseHandle(process);
    };
    programPath(deepest);
    HWND window = deepest;
    HWND top = deepest;
    wchar_t text[256];
    while (window) {
        const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
        if (length > 0 && length < 255)
            characters += static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXT, length + 1,
                                                                  reinterpret_cast<LPARAM>(text)));
        wchar_t className[260] = {};
        characters += static_cast<std::size_t>(::GetClassNameW(window, className, 260));
        RECT rect{};
        ::GetWindowRect(window, &rect);
        characters += static_cast<std::size_t>(rect.right & 1);
        top = window;
        window = ::GetParent(window);
    }
    programPath(top);
    return characters;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MicrosecondsSince(Clock::time_point started)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - started).count();
}

}  // namespace

int main()
{
    int argc = 0;
    desktop::LocalMemory argumentsOwner(::CommandLineToArgvW(::GetCommandLineW(), &argc));
    auto* argv = static_cast<wchar_t**>(argumentsOwner.get());
    if (argc >= 3 && std::wcscmp(argv[1], kHostOption) == 0) return RunHost(argv[2]);
    const int reports = argc >= 2 ? std::max(1, _wtoi(argv[1])) : kDefaultReports;

    // The host: a copy of this program with the chain's top window.
    const std::wstring self = inspect::GetOwnExecutablePath();
    const std::wstring caption = L"bench_report host " + std::to_wstring(::GetCurrentProcessId());
    std::wstring commandLine = L"\"" + self + L"\" " + kHostOption + L" \"" + caption + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        std::printf("cannot start the host process\n");
        return 1;
    }
    desktop::KernelHandle host(started.hProcess), hostThread(started.hThread);
    HWND hostWindow = nullptr;
    for (DWORD waited = 0; waited < kStartTimeoutMs && !hostWindow; waited += 10) {
        hostWindow = ::FindWindowW(kHostClass, caption.c_str());
        if (!hostWindow) ::Sleep(10);
    }
    if (!hostWindow) {
        std::printf("the host window did not appear\n");
        ::TerminateProcess(host.get(), 1);
        return 1;
    }

    // Nine windows of ours, each a child of the one before, under the host's.
    RegisterClassOf(kChainClass, ::DefWindowProcW);
    std::vector<desktop::WindowHandle> chain;
    HWND parent = hostWindow;
    for (int level = 1; level < kChainLength; ++level) {
        const std::wstring text = L"level " + std::to_wstring(level);
        HWND window = ::CreateWindowExW(0, kChainClass, text.c_str(), WS_CHILD | WS_VISIBLE, 2, 2, 600 - 4 * level,
                                        440 - 4 * level, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!window) {
            std::printf("cannot create chain window %d (error %lu)\n", level, ::GetLastError());
            ::TerminateProcess(host.get(), 1);
            return 1;
        }
        chain.emplace_back(window);
        parent = window;
    }
    const HWND deepest = parent;

    inspect::TWin32WindowQueries queries;
    TCountingArea area;
    const inspect::TCaptureContext context{queries, area, [](const std::wstring&) {}, L"C:\\not\\this.exe", 0, 0};
    std::size_t bareCharacters = 0;
    std::vector<double> reportTimes, bareTimes;
    for (int run = 0; run < kWarmUpReports + reports; ++run) {
        auto begun = Clock::now();
        std::uintptr_t mHandle = inspect::AsHandleValue(deepest);
        inspect::ShowWindowInfo(context, mHandle);
        const double reportTime = MicrosecondsSince(begun);

        begun = Clock::now();
        bareCharacters += BareQueries(deepest);
        const double bareTime = MicrosecondsSince(begun);
        if (run >= kWarmUpReports) {
            reportTimes.push_back(reportTime);
            bareTimes.push_back(bareTime);
        }
    }

    for (auto& window : chain) window.reset();
    ::PostMessageW(hostWindow, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(host.get(), kStartTimeoutMs) != WAIT_OBJECT_0) ::TerminateProcess(host.get(), 1);

    const double report = Median(reportTimes);
    const double bare = Median(bareTimes);
    std::printf("chain: %d windows (top one in process %lu), %d reports\n", kChainLength, started.dwProcessId,
                reports);
    // The character counts only keep the work from being optimised away.
    std::printf("report lines: %zu (characters %zu / %zu)\n", area.Lines, area.Characters, bareCharacters);
    std::printf("report median: %.1f us\n", report);
    std::printf("bare queries median: %.1f us\n", bare);
    std::printf("ratio: %.2f\n", report / bare);
    return 0;
}
