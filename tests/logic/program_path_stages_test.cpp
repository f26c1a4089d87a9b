// Which stage of the program path answers, over a fake process table.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "desktop/program_path.h"

namespace {

// One process as the two stages see it.
class TFakeProcess final : public desktop::TProgramPathSource {
public:
    DWORD ProcessId = 42;
    bool Opens = true;
    // Empty: the first stage fails, having written `FirstStageLeftover`.
    std::optional<std::wstring> MainModule;
    std::wstring FirstStageLeftover;
    std::wstring ImageFilePath;

    std::vector<std::string> Calls;
    HANDLE Opened = nullptr;
    std::vector<HANDLE> StageHandles;
    std::wstring BufferSeenBySecondStage;

    DWORD ProcessIdOf(HWND) override
    {
        Calls.push_back("process id");
        return ProcessId;
    }
    desktop::KernelHandle OpenProcessForPath(DWORD) override
    {
        Calls.push_back("open");
        // Any real handle stands for the process; the routine must close it.
        desktop::KernelHandle handle(Opens ? ::CreateEventW(nullptr, FALSE, FALSE, nullptr) : nullptr);
        Opened = handle.get();
        return handle;
    }
    bool MainModuleFileName(HANDLE process, desktop::TPathBuffer& buffer) override
    {
        Calls.push_back("main module");
        StageHandles.push_back(process);
        const std::wstring& text = MainModule ? *MainModule : FirstStageLeftover;
        text.copy(buffer.data(), text.size());
        return process != nullptr && MainModule.has_value();
    }
    std::wstring ImageFileProgramPath(HANDLE process, desktop::TPathBuffer& buffer) override
    {
        Calls.push_back("image file");
        StageHandles.push_back(process);
        BufferSeenBySecondStage = desktop::TextUpToNul(buffer.data(), buffer.size());
        return process != nullptr ? ImageFilePath : L"";
    }
};

struct TStageCase {
    const char* Name;
    DWORD ProcessId;
    bool Opens;
    std::optional<std::wstring> MainModule;
    const wchar_t* ImageFilePath;
    const wchar_t* Expected;
    std::vector<std::string> Calls;
};

TEST(GetWindowProgramPath, TheImageFileNameAnswersWhenTheMainModuleCannotBeRead)
{
    const HWND window = reinterpret_cast<HWND>(0x10010);
    const TStageCase cases[] = {
        {"main module read", 42, true, L"C:\\Program Files\\Tool\\tool.exe", L"D:\\other.exe",
         L"C:\\Program Files\\Tool\\tool.exe", {"process id", "open", "main module"}},
        {"main module unreadable: image file name", 42, true, std::nullopt, L"C:\\Windows\\System32\\notepad.exe",
         L"C:\\Windows\\System32\\notepad.exe", {"process id", "open", "main module", "image file"}},
        {"image file on a device without a letter", 42, true, std::nullopt, L"\\Device\\Mup\\server\\x.exe",
         L"\\Device\\Mup\\server\\x.exe", {"process id", "open", "main module", "image file"}},
        {"neither stage", 42, true, std::nullopt, L"", L"", {"process id", "open", "main module", "image file"}},
        {"process cannot be opened", 42, false, L"C:\\x.exe", L"C:\\x.exe", L"",
         {"process id", "open", "main module", "image file"}},
        {"no process behind the handle", 0, true, L"C:\\x.exe", L"C:\\x.exe", L"", {"process id"}},
    };
    for (const TStageCase& test : cases) {
        SCOPED_TRACE(test.Name);
        TFakeProcess process;
        process.ProcessId = test.ProcessId;
        process.Opens = test.Opens;
        process.MainModule = test.MainModule;
        process.ImageFilePath = test.ImageFilePath;
        EXPECT_EQ(desktop::GetWindowProgramPath(window, process), test.Expected);
        EXPECT_EQ(process.Calls, test.Calls);
        for (HANDLE handle : process.StageHandles) EXPECT_EQ(handle, process.Opened) << "both stages get the process";
        if (process.Opened) {
            EXPECT_FALSE(::CloseHandle(process.Opened)) << "the process handle is closed on every path";
        }
    }
}

TEST(GetWindowProgramPath, TheStagesShareOneBuffer)
{
    TFakeProcess process;
    process.FirstStageLeftover = L"C:\\partial";
    process.ImageFilePath = L"C:\\tool.exe";
    EXPECT_EQ(desktop::GetWindowProgramPath(reinterpret_cast<HWND>(0x10010), process), L"C:\\tool.exe");
    EXPECT_EQ(process.BufferSeenBySecondStage, L"C:\\partial");
}

}  // namespace
