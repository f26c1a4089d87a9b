// The icon save command of the real quillow.exe: Alt+C opens the save
// dialog, a name typed without extension is saved with ".ico", the file
// holds the window's icon (the design icon before any capture, the captured
// program's after one), and an icon that cannot be saved is reported.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "inspect/capture_message.h"
#include "inspect/design_icon.h"
#include "support/icon_test_support.h"
#include "support/quillow_process.h"
#include "support/save_dialog_driver.h"
#include "support/xdotool.h"

using namespace testsupport;

namespace {

std::wstring DesktopFolder()
{
    wchar_t path[MAX_PATH]{};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::vector<std::uint8_t> FileBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

class SaveIconTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved = DesktopFolder() + L"\\quillow-saved.ico";
        ::DeleteFileW(saved.c_str());
        quillow = std::make_unique<TProgram>(L"quillow.exe");
        form = quillow->WaitForWindow(L"TMainForm");
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override
    {
        if (quillow && quillow->Running()) {
            ::PostMessageW(form, WM_CLOSE, 0, 0);
            DWORD exitCode = 0;
            quillow->WaitForExit(exitCode);
        }
        ::DeleteFileW(saved.c_str());
        ::DeleteFileW((QuillowDataFolder() + L"quillow.ini").c_str());
    }
    // Alt+C with the keyboard at the memo, as a user presses it.
    void PressAltC()
    {
        HWND memo = ChildrenOf(form, L"Edit").at(0);
        RECT r{};
        ::GetWindowRect(memo, &r);
        ASSERT_TRUE(Xdotool("mousemove " + std::to_string((r.left + r.right) / 2) + " " +
                            std::to_string((r.top + r.bottom) / 2) + " click 1"));
        // A program started just before may still take the activation when
        // it shows its window; the keys go to quillow only once it is active.
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == form; }, 10000)) << "quillow is not active";
        ASSERT_TRUE(Xdotool("key alt+c"));
    }
    void SaveAs(const std::string& name)
    {
        PressAltC();
        HWND dialog = WaitForOwnedDialog(form);
        ASSERT_NE(dialog, nullptr) << "Alt+C opened no save dialog";
        EXPECT_EQ(SaveDialogName(dialog), L"") << "the name box starts empty";
        ASSERT_TRUE(TypeNameAndConfirm(dialog, name));
    }
    void CaptureWindowOf(TProgram& program)
    {
        HWND window = program.WaitForWindow(L"QuillowIconFixture");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
        ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(window));
    }

    std::unique_ptr<TProgram> quillow;
    HWND form = nullptr;
    std::wstring saved;
};

TEST_F(SaveIconTest, BeforeAnyCaptureAltCSavesTheDesignIconUnderTheTypedNameWithIco)
{
    SaveAs("quillow-saved");
    ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(saved.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        << "no quillow-saved.ico on the desktop";
    ::Sleep(200);
    const auto design = inspect::DesignIconBytes();
    EXPECT_EQ(FileBytes(saved), std::vector<std::uint8_t>(design.begin(), design.end()));
}

TEST_F(SaveIconTest, AfterACaptureTheCapturedProgramsIconIsSaved)
{
    TProgram target(L"icon_target.exe", L"window");
    CaptureWindowOf(target);
    SaveAs("quillow-saved");
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(saved).size() > 22; }, 10000));
    ::Sleep(200);
    desktop::IconHandle loaded(
        static_cast<HICON>(::LoadImageW(nullptr, saved.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
    ASSERT_TRUE(loaded);
    const IconPicture picture = PictureOf(loaded.get());
    ASSERT_GT(picture.width, 0);
    EXPECT_EQ(picture.ColourAt32(16, 8), 0xFF0000u) << "icon_target's red half";
    EXPECT_EQ(picture.ColourAt32(16, 24), 0x00FF00u) << "icon_target's lime half";
}

TEST_F(SaveIconTest, AProgramWithoutIconsCannotBeSavedAndNoFileIsLeft)
{
    TProgram target(L"icon_plain.exe", L"window");
    CaptureWindowOf(target);
    SaveAs("quillow-saved");
    TErrorBox box = WaitForErrorBox(quillow->Id());
    ASSERT_NE(box.Window, nullptr);
    EXPECT_EQ(box.Text, L"アイコン画像が無効です.");
    DismissErrorBox(box.Window);
    EXPECT_EQ(::GetFileAttributesW(saved.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(quillow->Running());
}

}  // namespace
