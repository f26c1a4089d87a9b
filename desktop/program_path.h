// The program path of a window: the full path of the executable of the
// process that created it, empty when it cannot be found. No failure is
// raised; a failed step only leaves the path empty.
//
// Two stages: the file name of the process's main module, and when that
// gives nothing, the process's image file name in device form
// (\Device\HarddiskVolume3\...) turned back into a drive-letter path.
#pragma once

#include "desktop/handles.h"
#include "desktop/platform_text.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace desktop {

// Paths are read into zero-filled buffers of 261 code units of which 260 are
// offered to each call, so the text always ends inside the buffer.
inline constexpr std::size_t kPathBufferLength = MAX_PATH + 1;
inline constexpr DWORD kPathCharsOffered = MAX_PATH;
using TPathBuffer = std::array<wchar_t, kPathBufferLength>;

inline constexpr int kDriveLetterCount = 26;

// One drive letter's entry: whether the letter exists (its bit in the
// logical-drive mask) and the device name it stands for.
struct TDriveEntry {
    bool Exists = false;
    std::wstring DeviceName;
};

// Drives A to Z in that order.
using TDriveTable = std::array<TDriveEntry, kDriveLetterCount>;

// Where the translation reads the drive table from. The mask is read once,
// when the translation starts; a device name only for a letter whose bit is
// set, letter by letter, and no letter after the first match.
class TDriveSource {
public:
    virtual ~TDriveSource() = default;
    // Bit 0 stands for A, bit 25 for Z.
    virtual std::uint32_t LogicalDriveMask() = 0;
    // The device name of the drive letter ("C" for C:), empty when unknown.
    virtual std::wstring DeviceNameOf(wchar_t letter) = 0;
};

// The drives of this machine: GetLogicalDrives and QueryDosDeviceW.
class TSystemDriveSource final : public TDriveSource {
public:
    std::uint32_t LogicalDriveMask() override;
    std::wstring DeviceNameOf(wchar_t letter) override;
};

// `path` with its device prefix replaced by the first drive (A to Z) whose
// device name, followed by a backslash, begins it (compared code unit by
// code unit, no case folding); unchanged when no drive matches. A drive
// without a device name is skipped: an empty name would match every path.
std::wstring DevicePathToDrivePath(const std::wstring& path, const TDriveTable& drives);
std::wstring DevicePathToDrivePath(const std::wstring& path, TDriveSource& drives);

// The system folder with one backslash appended; empty when the platform
// does not give it.
std::wstring GetSystemFolderPath();

// The process queries GetWindowProgramPath relies on; the system answers
// them, tests answer them from a fake process table.
class TProgramPathSource {
public:
    virtual ~TProgramPathSource() = default;
    // The id of the process that created the window; 0 when there is none.
    virtual DWORD ProcessIdOf(HWND window) = 0;
    // The process opened with access 0x0410; null when it cannot be.
    virtual KernelHandle OpenProcessForPath(DWORD processId) = 0;
    // The two stages below.
    virtual bool MainModuleFileName(HANDLE process, TPathBuffer& buffer) = 0;
    virtual std::wstring ImageFileProgramPath(HANDLE process, TPathBuffer& buffer) = 0;
};

// The full path of the executable of the process that created `window`;
// empty when it cannot be found (also for a handle that names no window).
// The main module's file name first; when that gives nothing, as for a
// 64-bit process seen from this 32-bit program, the image file name.
std::wstring GetWindowProgramPath(HWND window, TProgramPathSource& source);
std::wstring GetWindowProgramPath(HWND window);

// The two stages on an open process handle (access 0x0410), sharing one
// buffer as GetWindowProgramPath does. Exposed so each can be tried alone.
//
// First stage: GetModuleFileNameExW through the process-status library,
// bound by name at first use and kept loaded. True when it gave a path; the
// path is then in `buffer`.
bool ReadMainModuleFileName(HANDLE process, TPathBuffer& buffer);
// Second stage: GetProcessImageFileNameW from the process-status library
// loaded by full path from the system folder and released again, then
// translated with the drive table. Gives whatever the buffer holds after the
// call; empty when the library or the function cannot be found.
std::wstring ReadImageFileProgramPath(HANDLE process, TPathBuffer& buffer, TDriveSource& drives);

}  // namespace desktop
