#include "support/host_command.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "desktop/handles.h"

namespace testsupport {

bool RunHostCommand(const std::string& command, unsigned timeoutMs)
{
    static std::atomic<unsigned> counter{0};
    const std::string marker = "/tmp/quillow-host-" + std::to_string(::GetCurrentProcessId()) + "-" +
                               std::to_string(counter++);
    std::string shell = "Z:\\bin\\sh -c \"" + command + "; : > " + marker + "\"";
    std::wstring wide(shell.begin(), shell.end());
    std::wstring markerPath = L"Z:" + std::wstring(marker.begin(), marker.end());
    for (auto& c : markerPath)
        if (c == L'/') c = L'\\';

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // For a Unix program Wine gives no process handle and may leave stray
    // values in the rest of the record; closing those would close handles of
    // ours (the 32-bit build lost its standard output that way).
    if (process.hProcess) {
        desktop::KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    }
    for (unsigned waited = 0; waited < timeoutMs; waited += 10) {
        if (::GetFileAttributesW(markerPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ::DeleteFileW(markerPath.c_str());
            return true;
        }
        ::Sleep(10);
    }
    return false;
}

std::string HostPath(const std::wstring& windowsPath)
{
    if (windowsPath.size() < 3 || (windowsPath[0] != L'Z' && windowsPath[0] != L'z') || windowsPath[1] != L':' ||
        windowsPath[2] != L'\\')
        return {};
    std::string path;
    for (wchar_t c : windowsPath.substr(2)) {
        if (c > 0x7F) return {};  // the shell command is built from ASCII
        path += c == L'\\' ? '/' : static_cast<char>(c);
    }
    return path;
}

}  // namespace testsupport
