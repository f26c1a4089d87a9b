#include "support/xdotool.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "desktop/handles.h"

namespace testsupport {

bool Xdotool(const std::string& args, unsigned timeoutMs)
{
    // Wine gives no exit status for Unix programs, so the shell leaves a
    // marker file when xdotool is done.
    static std::atomic<unsigned> counter{0};
    const std::string marker = "/tmp/quillow-xdotool-" + std::to_string(::GetCurrentProcessId()) + "-" +
                               std::to_string(counter++);
    std::string command = "Z:\\bin\\sh -c \"xdotool " + args + "; : > " + marker + "\"";
    std::wstring wide(command.begin(), command.end());
    std::wstring markerPath = L"Z:" + std::wstring(marker.begin(), marker.end());
    for (auto& c : markerPath)
        if (c == L'/') c = L'\\';

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    desktop::KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    for (unsigned waited = 0; waited < timeoutMs; waited += 10) {
        if (::GetFileAttributesW(markerPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ::DeleteFileW(markerPath.c_str());
            return true;
        }
        ::Sleep(10);
    }
    return false;
}

}  // namespace testsupport
