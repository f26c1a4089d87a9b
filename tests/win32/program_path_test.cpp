// The program path of real windows under Wine: of this process, of a second
// process, of a handle that names no window, and each stage alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "desktop/handles.h"
#include "desktop/program_path.h"
#include "inspect/own_executable_path.h"
#include "support/report_target_process.h"

namespace {

using testsupport::TReportTargetProcess;

constexpr DWORD kProcessAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

// Knows no drive at all, so nothing gets translated.
class TNoDrives final : public desktop::TDriveSource {
public:
    std::uint32_t LogicalDriveMask() override { return 0; }
    std::wstring DeviceNameOf(wchar_t) override { return {}; }
};

desktop::WindowHandle MakeStaticWindow()
{
    return desktop::WindowHandle(::CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                   ::GetModuleHandleW(nullptr), nullptr));
}

TEST(ProgramPathOnWine, WindowOfThisProcessGivesItsExecutable)
{
    desktop::WindowHandle window = MakeStaticWindow();
    ASSERT_TRUE(window);
    const std::wstring own = inspect::GetOwnExecutablePath();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(desktop::GetWindowProgramPath(window.get()), own);
}

TEST(ProgramPathOnWine, WindowsOfASecondProcessGiveThatProgram)
{
    TReportTargetProcess target(TReportTargetProcess::TMode::Serve);
    ASSERT_TRUE(target.Started());
    EXPECT_EQ(desktop::GetWindowProgramPath(target.Top()), target.ProgramPath());
    EXPECT_EQ(desktop::GetWindowProgramPath(target.Button()), target.ProgramPath());
}

TEST(ProgramPathOnWine, HandleThatNamesNoWindowGivesEmpty)
{
    desktop::WindowHandle window = MakeStaticWindow();
    ASSERT_TRUE(window);
    const HWND vanished = window.get();
    window.reset();
    ASSERT_FALSE(::IsWindow(vanished));
    EXPECT_EQ(desktop::GetWindowProgramPath(vanished), L"");
    EXPECT_EQ(desktop::GetWindowProgramPath(nullptr), L"");
}

TEST(ProgramPathOnWine, FirstStageAloneReadsTheMainModule)
{
    TReportTargetProcess target(TReportTargetProcess::TMode::Serve);
    ASSERT_TRUE(target.Started());
    desktop::KernelHandle process(::OpenProcess(kProcessAccess, FALSE, target.ProcessId()));
    ASSERT_TRUE(process);
    desktop::TPathBuffer buffer{};
    ASSERT_TRUE(desktop::ReadMainModuleFileName(process.get(), buffer));
    EXPECT_EQ(desktop::TextUpToNul(buffer.data(), buffer.size()), target.ProgramPath());

    desktop::TPathBuffer untouched{};
    EXPECT_FALSE(desktop::ReadMainModuleFileName(nullptr, untouched));
}

TEST(ProgramPathOnWine, FirstStageKeepsItsLibraryLoaded)
{
    desktop::TPathBuffer buffer{};
    ASSERT_TRUE(desktop::ReadMainModuleFileName(::GetCurrentProcess(), buffer));
    EXPECT_NE(::GetModuleHandleW(L"PSAPI.dll"), nullptr);
    // The second stage loads the same library by full path and releases
    // only its own reference.
    desktop::TPathBuffer second{};
    desktop::TSystemDriveSource drives;
    EXPECT_EQ(desktop::ReadImageFileProgramPath(::GetCurrentProcess(), second, drives),
              inspect::GetOwnExecutablePath());
    EXPECT_NE(::GetModuleHandleW(L"PSAPI.dll"), nullptr);
}

TEST(ProgramPathOnWine, SecondStageAloneTranslatesTheImageFileName)
{
    TReportTargetProcess target(TReportTargetProcess::TMode::Serve);
    ASSERT_TRUE(target.Started());
    desktop::KernelHandle process(::OpenProcess(kProcessAccess, FALSE, target.ProcessId()));
    ASSERT_TRUE(process);

    desktop::TPathBuffer buffer{};
    desktop::TSystemDriveSource drives;
    EXPECT_EQ(desktop::ReadImageFileProgramPath(process.get(), buffer, drives), target.ProgramPath());

    // Without drives the device form comes back as the platform gave it.
    desktop::TPathBuffer deviceBuffer{};
    TNoDrives noDrives;
    const std::wstring devicePath = desktop::ReadImageFileProgramPath(process.get(), deviceBuffer, noDrives);
    EXPECT_EQ(devicePath.rfind(L"\\Device\\", 0), 0u) << "device form expected";
    const std::wstring fileName = target.ProgramPath().substr(target.ProgramPath().find_last_of(L'\\'));
    EXPECT_EQ(devicePath.substr(devicePath.size() - fileName.size()), fileName);

    // A process that cannot be read leaves the path empty.
    desktop::TPathBuffer emptyBuffer{};
    EXPECT_EQ(desktop::ReadImageFileProgramPath(nullptr, emptyBuffer, drives), L"");
}

TEST(ProgramPathOnWine, AProcessWhoseMainModuleCannotBeReadGivesItsImageFilePath)
{
    TReportTargetProcess target(TReportTargetProcess::TMode::Unlisted);
    ASSERT_TRUE(target.Started());
    desktop::KernelHandle process(::OpenProcess(kProcessAccess, FALSE, target.ProcessId()));
    ASSERT_TRUE(process);
    desktop::TPathBuffer buffer{};
    ASSERT_FALSE(desktop::ReadMainModuleFileName(process.get(), buffer)) << "the first stage must fail here";

    EXPECT_EQ(desktop::GetWindowProgramPath(target.Button()), target.ProgramPath());
}

TEST(ProgramPathOnWine, SystemDrivesHaveDeviceNames)
{
    desktop::TSystemDriveSource drives;
    const std::uint32_t mask = drives.LogicalDriveMask();
    const std::wstring system = desktop::GetSystemFolderPath();
    ASSERT_GE(system.size(), 3u);
    const wchar_t systemDrive = system[0];
    ASSERT_NE(mask & (1u << (systemDrive - L'A')), 0u);
    EXPECT_EQ(drives.DeviceNameOf(systemDrive).rfind(L"\\Device\\", 0), 0u);
    for (int i = 0; i < desktop::kDriveLetterCount; ++i)
        if ((mask & (1u << i)) == 0) {
            EXPECT_EQ(drives.DeviceNameOf(static_cast<wchar_t>(L'A' + i)), L"") << "letter without drive";
            break;
        }
}

TEST(ProgramPathOnWine, SystemFolderPathEndsWithOneBackslash)
{
    wchar_t folder[MAX_PATH + 1] = {};
    ASSERT_NE(::GetSystemDirectoryW(folder, MAX_PATH), 0u);
    const std::wstring path = desktop::GetSystemFolderPath();
    EXPECT_EQ(path, std::wstring(folder) + L"\\");
    EXPECT_NE(::GetFileAttributesW((path + L"Psapi.dll").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
