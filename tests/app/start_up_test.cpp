// Start-up of the real quillow.exe: the data folder decides whether it
// runs at all, the show command of a shortcut is honoured, the exit code is
// 0 in every case, and the manifest carries the process settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/quillow_process.h"

using namespace testsupport;

namespace {

std::wstring MakerFolder()
{
    std::wstring folder = QuillowDataFolder();  // ...\Morvanta\quillow\ .
    folder.pop_back();
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool IsDirectory(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveDataFolders()
{
    std::wstring data = QuillowDataFolder();
    ::DeleteFileW((data + L"quillow.ini").c_str());
    data.pop_back();
    ::RemoveDirectoryW(data.c_str());
    ::DeleteFileW(data.c_str());
    ::RemoveDirectoryW(MakerFolder().c_str());
}

enum class TShown { Normal, Maximised, Minimised };

TShown ShownState(HWND form)
{
    return ::IsZoomed(form) ? TShown::Maximised : ::IsIconic(form) ? TShown::Minimised : TShown::Normal;
}

// Runs quillow until its window shows (in the expected state, where one is
// given), closes it and returns the exit code.
DWORD RunAndClose(int showCommand = -1, TShown expected = TShown::Normal)
{
    TProgram program(L"quillow.exe", L"", showCommand);
    HWND form = program.WaitForWindow(L"TMainForm");
    EXPECT_NE(form, nullptr);
    if (!form) return 99;
    // The window shows during creation, before the show command is applied.
    EXPECT_TRUE(WaitUntil([&] { return ShownState(form) == expected; }, 3000)) << "show command " << showCommand;
    ::Sleep(200);
    EXPECT_EQ(ShownState(form), expected) << "show command " << showCommand;
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(program.WaitForExit(exitCode));
    return exitCode;
}

class StartUp : public testing::Test {
protected:
    void TearDown() override
    {
        RemoveDataFolders();
        ::CreateDirectoryW(MakerFolder().c_str(), nullptr);
        std::wstring data = QuillowDataFolder();
        data.pop_back();
        ::CreateDirectoryW(data.c_str(), nullptr);
    }
};

TEST_F(StartUp, FirstStartCreatesBothFolders)
{
    RemoveDataFolders();
    ASSERT_FALSE(IsDirectory(MakerFolder()));
    EXPECT_EQ(RunAndClose(), 0u);
    EXPECT_TRUE(IsDirectory(MakerFolder()));
    EXPECT_TRUE(IsDirectory(QuillowDataFolder()));
}

TEST_F(StartUp, MissingProgramFolderIsCreatedInTheExistingMakerFolder)
{
    RemoveDataFolders();
    ASSERT_TRUE(::CreateDirectoryW(MakerFolder().c_str(), nullptr));
    const std::wstring marker = MakerFolder() + L"\\other.txt";
    ::CloseHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(RunAndClose(), 0u);
    EXPECT_TRUE(IsDirectory(QuillowDataFolder()));
    EXPECT_NE(::GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is ever deleted";
    ::DeleteFileW(marker.c_str());
}

TEST_F(StartUp, AFileInTheWayEndsTheProcessSilentlyWithExitCodeZero)
{
    RemoveDataFolders();
    ASSERT_TRUE(::CreateDirectoryW(MakerFolder().c_str(), nullptr));
    std::wstring blocker = QuillowDataFolder();
    blocker.pop_back();
    ::CloseHandle(::CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    TProgram program(L"quillow.exe");
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(TopLevelWindowsOf(program.Id(), L"").empty());
    EXPECT_FALSE(IsDirectory(blocker));
    ::DeleteFileW(blocker.c_str());
}

TEST_F(StartUp, ShowCommandOfAShortcutIsHonoured)
{
    EXPECT_EQ(RunAndClose(SW_SHOWMAXIMIZED, TShown::Maximised), 0u);
    EXPECT_EQ(RunAndClose(SW_SHOWMINNOACTIVE, TShown::Minimised), 0u);
    EXPECT_EQ(RunAndClose(SW_SHOWNORMAL, TShown::Normal), 0u);
    EXPECT_EQ(RunAndClose(SW_SHOWMINIMIZED, TShown::Normal), 0u) << "other commands keep the created state";
}

std::string ManifestOf(const std::wstring& path)
{
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    std::string text;
    HRSRC resource = ::FindResourceExW(module, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1),
                                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (resource) {
        HGLOBAL loaded = ::LoadResource(module, resource);
        text.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, resource));
    }
    ::FreeLibrary(module);
    return text;
}

TEST(Manifest, EmbeddedAsResource24Id1Language1033WithTheProcessSettings)
{
    const std::string manifest = ManifestOf(BinFolder() + L"quillow.exe");
    ASSERT_FALSE(manifest.empty()) << "no manifest of type 24, id 1, language 1033";
    const char* required[] = {
        R"(level="requireAdministrator")",
        R"(uiAccess="false")",
        ">true/pm</dpiAware>",
        ">PerMonitorV2</dpiAwareness>",
        R"(name="Microsoft.Windows.Common-Controls")",
        R"(version="6.0.0.0")",
        R"(publicKeyToken="6595b64144ccf1df")",
        R"(processorArchitecture="*")",
        R"(language="*")",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10
    };
    for (const char* text : required) EXPECT_NE(manifest.find(text), std::string::npos) << text;
}

}  // namespace
