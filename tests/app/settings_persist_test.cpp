// Settings of the real quillow.exe across runs: placement, maximised state,
// always-on-top and the capture button; errors of the settings file shown
// without losing the window.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>

#include "desktop/app_error.h"
#include "fixtures/hook_target.h"
#include "support/hook_target_process.h"
#include "support/quillow_process.h"
#include "support/xdotool.h"

using namespace testsupport;

namespace {

std::wstring SettingsPath() { return QuillowDataFolder() + L"quillow.ini"; }

std::string ReadAll(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteAll(const std::wstring& path, const std::string& content)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file << content;
}

RECT OuterRect(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

bool IsDown(HWND toolbar, const std::wstring& text) { return IsToolButtonDown(toolbar, text); }

HWND ToolbarOf(HWND form)
{
    auto panels = ChildrenOf(form, L"TPanel");
    if (panels.empty()) return nullptr;
    auto toolbars = ChildrenOf(panels[0], L"ToolbarWindow32");
    return toolbars.empty() ? nullptr : toolbars[0];
}

void Click(HWND toolbar, const std::wstring& text) { ASSERT_TRUE(ClickToolButton(toolbar, text)); }

// Closes the window the way its close button does and waits for the end.
void CloseAndWait(TProgram& program, HWND form)
{
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

class SettingsPersist : public testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(SettingsPath().c_str()); }
    void TearDown() override { ::DeleteFileW(SettingsPath().c_str()); }
};

TEST_F(SettingsPersist, EverythingChangedInOneRunIsRestoredInTheNext)
{
    {
        TProgram program(L"quillow.exe");
        HWND form = program.WaitForWindow(L"TMainForm");
        ASSERT_NE(form, nullptr);
        ::SetWindowPos(form, nullptr, 130, 90, 1040, 440, SWP_NOZORDER | SWP_NOACTIVATE);
        HWND toolbar = ToolbarOf(form);
        Click(toolbar, L"常に手前に表示");
        Click(toolbar, L"右ボタン");
        ASSERT_TRUE(WaitUntil([&] { return IsDown(toolbar, L"右ボタン") && IsDown(toolbar, L"常に手前に表示"); }));
        CloseAndWait(program, form);
    }
    EXPECT_EQ(ReadAll(SettingsPath()),
              "[Form]\r\nMAX=0\r\nTop=90\r\nLeft=130\r\nHeight=440\r\nWidth=1040\r\nMostTop=1\r\nButton=2\r\n\r\n");
    {
        TProgram program(L"quillow.exe");
        HWND form = program.WaitForWindow(L"TMainForm");
        ASSERT_NE(form, nullptr);
        RECT rect = OuterRect(form);
        EXPECT_EQ(rect.left, 130);
        EXPECT_EQ(rect.top, 90);
        EXPECT_EQ(rect.right - rect.left, 1040);
        EXPECT_EQ(rect.bottom - rect.top, 440);
        EXPECT_TRUE(::GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
        HWND toolbar = ToolbarOf(form);
        EXPECT_TRUE(IsDown(toolbar, L"常に手前に表示"));
        EXPECT_TRUE(IsDown(toolbar, L"右ボタン"));
        EXPECT_FALSE(IsDown(toolbar, L"左ボタン"));
        CloseAndWait(program, form);
    }
}

TEST_F(SettingsPersist, ARectangleOnNoMonitorIsCentredBeforeItIsShown)
{
    WriteAll(SettingsPath(), "[Form]\r\nTop=-5000\r\nLeft=-6000\r\nHeight=400\r\nWidth=800\r\n");
    TProgram program(L"quillow.exe");
    HWND form = program.WaitForWindow(L"TMainForm");
    ASSERT_NE(form, nullptr);
    // Visible from here on: it was never shown at the stored place.
    RECT rect = OuterRect(form);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 400);
    EXPECT_GE(rect.left, 0);
    EXPECT_GE(rect.top, 0);
    EXPECT_NEAR(rect.left, (work.right - 800) / 2, 1);
    CloseAndWait(program, form);
}

TEST_F(SettingsPersist, ARestoredMaximisedWindowOpensMaximisedAndRestoresToTheStoredRectangle)
{
    WriteAll(SettingsPath(), "[Form]\r\nMAX=1\r\nTop=100\r\nLeft=150\r\nHeight=420\r\nWidth=900\r\n");
    TProgram program(L"quillow.exe");
    HWND form = program.WaitForWindow(L"TMainForm");
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(form) != 0; }));
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(WaitUntil([&] { return OuterRect(form).right - OuterRect(form).left >= work.right - work.left; }))
        << "a maximised window fills the screen";
    ::SendMessageW(form, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsZoomed(form); }));
    RECT rect = OuterRect(form);
    EXPECT_EQ(rect.left, 150);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right - rect.left, 900);
    EXPECT_EQ(rect.bottom - rect.top, 420);
    // Maximised again and closed: MAX changes in place, the rectangle stays.
    ::SendMessageW(form, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(form) != 0; }));
    CloseAndWait(program, form);
    EXPECT_EQ(ReadAll(SettingsPath()),
              "[Form]\r\nMAX=1\r\nTop=100\r\nLeft=150\r\nHeight=420\r\nWidth=900\r\nMostTop=0\r\nButton=0\r\n\r\n");
}

TEST_F(SettingsPersist, AMinimisedCloseWritesTheRestoredRectangle)
{
    TProgram program(L"quillow.exe");
    HWND form = program.WaitForWindow(L"TMainForm");
    ASSERT_NE(form, nullptr);
    ::SetWindowPos(form, nullptr, 210, 160, 980, 430, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(form) != 0; }));
    CloseAndWait(program, form);
    EXPECT_EQ(ReadAll(SettingsPath()),
              "[Form]\r\nMAX=0\r\nTop=160\r\nLeft=210\r\nHeight=430\r\nWidth=980\r\nMostTop=0\r\nButton=0\r\n\r\n");
}

TEST_F(SettingsPersist, AFileHeldOpenForWritingAtStartIsReportedAndTheWindowStillOpens)
{
    WriteAll(SettingsPath(), "[Form]\r\nMostTop=1\r\nButton=2\r\nWidth=1200\r\n");
    desktop::FileHandle holder(::CreateFileW(SettingsPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    TProgram program(L"quillow.exe");
    TErrorBox box = WaitForErrorBox(program.Id());
    ASSERT_NE(box.Window, nullptr);
    EXPECT_EQ(box.Text, L"ファイル " + SettingsPath() + L" は開けません。 " +
                            desktop::SystemErrorText(ERROR_SHARING_VIOLATION) + L" ");
    EXPECT_TRUE(box.HasErrorIcon);
    // Owned by the main window, which exists, still hidden, while it is created.
    const auto forms = TopLevelWindowsOf(program.Id(), L"TMainForm");
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(::GetWindow(box.Window, GW_OWNER), forms[0]);
    DismissErrorBox(box.Window);
    holder.reset();

    HWND form = program.WaitForWindow(L"TMainForm");
    ASSERT_NE(form, nullptr);
    RECT client{};
    ::GetClientRect(form, &client);
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(client.right, ::MulDiv(830, dpi, 120)) << "the designed size";
    EXPECT_FALSE(::IsZoomed(form));
    EXPECT_FALSE(::GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
    HWND toolbar = ToolbarOf(form);
    EXPECT_FALSE(IsDown(toolbar, L"常に手前に表示"));
    // The remaining creation steps were skipped: no button choice is shown,
    // and the hook library was not loaded, so a press captures nothing.
    EXPECT_FALSE(IsDown(toolbar, L"左ボタン"));
    EXPECT_FALSE(IsDown(toolbar, L"右ボタン"));
    HookTargetProcess target;
    ASSERT_TRUE(target.Start());
    ASSERT_TRUE(ClickAt(ScreenCentreOf(target.Control(hook_target::kChildControlId)), MouseButton::Left));
    ::Sleep(700);
    HWND memoList = ChildrenOf(ChildrenOf(form, L"TPanel").at(0), L"Edit").at(0);
    EXPECT_EQ(WindowText(memoList), L"");
    CloseAndWait(program, form);
}

TEST_F(SettingsPersist, ADataFolderRemovedWhileRunningKeepsTheWindowOpenUntilItIsBack)
{
    TProgram program(L"quillow.exe");
    HWND form = program.WaitForWindow(L"TMainForm");
    ASSERT_NE(form, nullptr);
    std::wstring folder = QuillowDataFolder();
    folder.pop_back();
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));

    ::PostMessageW(form, WM_CLOSE, 0, 0);
    TErrorBox box = WaitForErrorBox(program.Id());
    ASSERT_NE(box.Window, nullptr);
    EXPECT_EQ(box.Text.rfind(L"ファイル \"" + SettingsPath() + L"\" を作成できません。", 0), 0u) << "message start";
    EXPECT_EQ(::GetWindow(box.Window, GW_OWNER), form);
    DismissErrorBox(box.Window);
    ::Sleep(300);
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(::IsWindowVisible(form));

    // The system's question whether the session may end is answered no.
    DWORD_PTR answer = 1;
    auto watcher = std::async(std::launch::async, [&] {
        TErrorBox second = WaitForErrorBox(program.Id());
        if (second.Window) DismissErrorBox(second.Window);
        return second.Window != nullptr;
    });
    ::SendMessageTimeoutW(form, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer);
    EXPECT_TRUE(watcher.get());
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(FALSE));

    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    CloseAndWait(program, form);
    EXPECT_FALSE(ReadAll(SettingsPath()).empty());
}

}  // namespace
