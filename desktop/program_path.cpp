#include "desktop/program_path.h"

#include <algorithm>
#include <vector>

#include "desktop/psapi_binding.h"

namespace desktop {

namespace {

// PROCESS_QUERY_INFORMATION | PROCESS_VM_READ: enough for both stages.
constexpr DWORD kProcessAccess = 0x0410;
static_assert(kProcessAccess == (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ));

constexpr wchar_t kImageFileLibraryName[] = L"Psapi.dll";

using GetProcessImageFileNameWFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);

// The table as a drive source, for the pure form of the translation.
class TTableDriveSource final : public TDriveSource {
public:
    explicit TTableDriveSource(const TDriveTable& drives) : m_drives(drives) {}

    std::uint32_t LogicalDriveMask() override
    {
        std::uint32_t mask = 0;
        for (int index = 0; index < kDriveLetterCount; ++index)
            if (m_drives[index].Exists) mask |= std::uint32_t{1} << index;
        return mask;
    }
    std::wstring DeviceNameOf(wchar_t letter) override { return m_drives[letter - L'A'].DeviceName; }

private:
    const TDriveTable& m_drives;
};

// True when `path` is `device` followed by a backslash and more. The
// backslash keeps \Device\HarddiskVolume1 off \Device\HarddiskVolume10.
bool BeginsWithDevice(const std::wstring& path, const std::wstring& device)
{
    return !device.empty() && path.size() > device.size() && path.compare(0, device.size(), device) == 0 &&
           path[device.size()] == L'\\';
}

// The system's answers to the program path's queries.
class TSystemProgramPathSource final : public TProgramPathSource {
public:
    DWORD ProcessIdOf(HWND window) override
    {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        return processId;
    }
    KernelHandle OpenProcessForPath(DWORD processId) override
    {
        return KernelHandle(::OpenProcess(kProcessAccess, FALSE, processId));
    }
    bool MainModuleFileName(HANDLE process, TPathBuffer& buffer) override
    {
        return ReadMainModuleFileName(process, buffer);
    }
    std::wstring ImageFileProgramPath(HANDLE process, TPathBuffer& buffer) override
    {
        TSystemDriveSource drives;
        return ReadImageFileProgramPath(process, buffer, drives);
    }
};

}  // namespace

std::uint32_t TSystemDriveSource::LogicalDriveMask() { return ::GetLogicalDrives(); }

std::wstring TSystemDriveSource::DeviceNameOf(wchar_t letter)
{
    const wchar_t driveName[] = {letter, L':', L'\0'};
    TPathBuffer deviceName{};
    // Result not checked: a failed query leaves the name empty, and an empty
    // name is skipped by the translation.
    ::QueryDosDeviceW(driveName, deviceName.data(), kPathCharsOffered);
    return TextUpToNul(deviceName.data(), deviceName.size());
}

std::wstring DevicePathToDrivePath(const std::wstring& path, TDriveSource& drives)
{
    const std::uint32_t mask = drives.LogicalDriveMask();
    for (int index = 0; index < kDriveLetterCount; ++index) {
        if ((mask & (std::uint32_t{1} << index)) == 0) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + index);
        const std::wstring device = drives.DeviceNameOf(letter);
        if (BeginsWithDevice(path, device)) return std::wstring{letter, L':'} + path.substr(device.size());
    }
    return path;
}

std::wstring DevicePathToDrivePath(const std::wstring& path, const TDriveTable& drives)
{
    TTableDriveSource source(drives);
    return DevicePathToDrivePath(path, source);
}

std::wstring GetSystemFolderPath()
{
    const UINT needed = ::GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) return {};
    std::vector<wchar_t> buffer(needed, L'\0');
    const UINT copied = ::GetSystemDirectoryW(buffer.data(), needed);
    // A count not below the size means nothing was copied (the folder grew).
    if (copied == 0 || copied >= needed) return {};
    return TextUpToNul(buffer.data(), buffer.size()) + L'\\';
}

bool ReadMainModuleFileName(HANDLE process, TPathBuffer& buffer)
{
    return BoundGetModuleFileNameExW(process, nullptr, buffer.data(), kPathCharsOffered) != 0;
}

std::wstring ReadImageFileProgramPath(HANDLE process, TPathBuffer& buffer, TDriveSource& drives)
{
    const std::wstring libraryPath = GetSystemFolderPath() + kImageFileLibraryName;
    ModuleHandle library(::LoadLibraryW(libraryPath.c_str()));
    if (!library) return {};
    const auto getImageFileName = ProcedureAs<GetProcessImageFileNameWFunction>(
        ::GetProcAddress(library.get(), "GetProcessImageFileNameW"));
    if (!getImageFileName) return {};
    // Result not checked: the answer is whatever the buffer now holds.
    getImageFileName(process, buffer.data(), kPathCharsOffered);
    return DevicePathToDrivePath(TextUpToNul(buffer.data(), buffer.size()), drives);
}

std::wstring GetWindowProgramPath(HWND window, TProgramPathSource& source)
{
    const DWORD processId = source.ProcessIdOf(window);
    // No process id: the handle names no window, so there is nothing to open.
    if (processId == 0) return {};
    // Not checked: with a null handle both stages fail and the path is empty.
    KernelHandle process = source.OpenProcessForPath(processId);
    TPathBuffer buffer{};
    if (source.MainModuleFileName(process.get(), buffer)) return TextUpToNul(buffer.data(), buffer.size());
    return source.ImageFileProgramPath(process.get(), buffer);
}

std::wstring GetWindowProgramPath(HWND window)
{
    TSystemProgramPathSource source;
    return GetWindowProgramPath(window, source);
}

}  // namespace desktop
