// Captures through the real quillow.exe and quillow.dll under Wine: real
// presses of the chosen mouse button over windows of another program give
// the report of the control under the pointer; captures of quillow's own
// windows and presses that should not capture change nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/hook_target.h"
#include "inspect/capture_message.h"
#include "support/hook_target_process.h"
#include "support/quillow_process.h"
#include "support/report_target_process.h"
#include "support/xdotool.h"

using namespace testsupport;

namespace {

std::wstring HandleText(HWND window)
{
    wchar_t text[32]{};
    std::swprintf(text, 32, L"%08llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

std::vector<std::wstring> LinesOf(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class CaptureTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::DeleteFileW((QuillowDataFolder() + L"quillow.ini").c_str());
        ASSERT_TRUE(target.Start());
        quillow = std::make_unique<TProgram>(L"quillow.exe");
        form = quillow->WaitForWindow(L"TMainForm");
        ASSERT_NE(form, nullptr);
        // Out of the target's way.
        ::SetWindowPos(form, nullptr, 0, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        HWND panel = ChildrenOf(form, L"TPanel").at(0);
        toolbar = ChildrenOf(panel, L"ToolbarWindow32").at(0);
        memoList = ChildrenOf(panel, L"Edit").at(0);
        memo = ChildrenOf(form, L"Edit").at(0);
    }
    void TearDown() override
    {
        if (quillow && quillow->Running()) {
            ::PostMessageW(form, WM_CLOSE, 0, 0);
            DWORD exitCode = 0;
            quillow->WaitForExit(exitCode);
        }
        ::DeleteFileW((QuillowDataFolder() + L"quillow.ini").c_str());
    }

    void ClickToolButton(const std::wstring& caption) { ASSERT_TRUE(testsupport::ClickToolButton(toolbar, caption)); }
    bool IsDown(const std::wstring& caption) { return IsToolButtonDown(toolbar, caption); }
    std::wstring Report() { return WindowText(memoList); }
    // The report names this window as the captured one.
    bool ReportsCapture(HWND window)
    {
        auto lines = LinesOf(Report());
        return lines.size() >= 7 && lines[4] == L"ハンドル:" + HandleText(window);
    }

    HookTargetProcess target;
    std::unique_ptr<TProgram> quillow;
    HWND form = nullptr, toolbar = nullptr, memoList = nullptr, memo = nullptr;
};

TEST_F(CaptureTest, EachChosenButtonCapturesTheControlUnderThePointer)
{
    struct Case {
        const wchar_t* choice;
        MouseButton button;
        int control;
    };
    const Case cases[] = {
        {L"左ボタン", MouseButton::Left, hook_target::kCheckBoxId},
        {L"中ボタン", MouseButton::Middle, hook_target::kChildControlId},
        {L"右ボタン", MouseButton::Right, hook_target::kDisabledControlId},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "button code " << static_cast<int>(c.button));
        ClickToolButton(c.choice);
        ASSERT_TRUE(WaitUntil([&] { return IsDown(c.choice); }));
        ::SetWindowTextW(memoList, L"");
        HWND control = target.Control(c.control);
        ASSERT_TRUE(ClickAt(ScreenCentreOf(control), c.button));
        ASSERT_TRUE(WaitUntil([&] { return ReportsCapture(control); })) << "report:\n" << testing::PrintToString(Report());
        auto lines = LinesOf(Report());
        // The control, its top-level window, the separator and the program.
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[2], L"クラス:Button");
        EXPECT_EQ(lines[9], L"ハンドル:" + HandleText(target.Window()));
        EXPECT_EQ(lines[10], L"---------------------------");
        std::wstring program = lines[11];
        EXPECT_EQ(program.rfind(L"プログラム:", 0), 0u);
        EXPECT_NE(program.find(L"hook_target.exe"), std::wstring::npos);
    }
}

TEST_F(CaptureTest, OtherButtonsAndCapturingOffCaptureNothing)
{
    ASSERT_TRUE(IsDown(L"左ボタン"));
    HWND control = target.Control(hook_target::kChildControlId);
    // A press of a button that was not chosen.
    ASSERT_TRUE(ClickAt(ScreenCentreOf(control), MouseButton::Right));
    ::Sleep(500);
    EXPECT_EQ(Report(), L"");

    // Capturing switched off.
    ClickToolButton(L"処理");
    ASSERT_TRUE(WaitUntil([&] { return !IsDown(L"処理"); }));
    ASSERT_TRUE(ClickAt(ScreenCentreOf(control), MouseButton::Left));
    ::Sleep(500);
    EXPECT_EQ(Report(), L"");

    // And on again: the same press is captured.
    ClickToolButton(L"処理");
    ASSERT_TRUE(WaitUntil([&] { return IsDown(L"処理"); }));
    ASSERT_TRUE(ClickAt(ScreenCentreOf(control), MouseButton::Left));
    EXPECT_TRUE(WaitUntil([&] { return ReportsCapture(control); }));
}

TEST_F(CaptureTest, APressOnQuillowsOwnWindowChangesNothing)
{
    HWND control = target.Control(hook_target::kChildControlId);
    ASSERT_TRUE(ClickAt(ScreenCentreOf(control), MouseButton::Left));
    ASSERT_TRUE(WaitUntil([&] { return ReportsCapture(control); }));
    const std::wstring before = Report();
    // Left presses on the memo, the report area and the frame of quillow.
    for (HWND own : {memo, memoList}) ASSERT_TRUE(ClickAt(ScreenCentreOf(own), MouseButton::Left));
    ::Sleep(500);
    EXPECT_EQ(Report(), before);
}

TEST_F(CaptureTest, CaptureMessagesOfOwnWindowsAreDroppedOthersReported)
{
    // Sent by anyone, the capture message of another program's window is
    // reported like a press.
    HWND control = target.Control(hook_target::kCheckBoxId);
    ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(control));
    ASSERT_TRUE(ReportsCapture(control));
    const std::wstring before = Report();
    auto applications = TopLevelWindowsOf(quillow->Id(), L"TApplication");
    ASSERT_EQ(applications.size(), 1u);
    for (HWND own : {form, memo, memoList, toolbar, applications[0]}) {
        ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(own));
        EXPECT_EQ(Report(), before);
    }
    // A handle that names no window is reported with empty values.
    ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, static_cast<LPARAM>(0x7FFF0000));
    auto lines = LinesOf(Report());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], L"キャプション/テキスト:");
    EXPECT_EQ(lines[2], L"クラス:");
    EXPECT_EQ(lines[3], L"座標:左:0,上:0,右:0,下:0");
    EXPECT_EQ(lines[6], L"プログラム:");
}

TEST_F(CaptureTest, AWindowOfAnotherProgramOwnedByQuillowIsDropped)
{
    // Its program is another one, so only its chain of owners, which ends at
    // quillow's main window or application window, can drop it.
    HWND control = target.Control(hook_target::kCheckBoxId);
    auto applications = TopLevelWindowsOf(quillow->Id(), L"TApplication");
    ASSERT_EQ(applications.size(), 1u);
    struct Case {
        const char* owner;
        HWND window;
    };
    for (const Case& c : {Case{"main window", form}, Case{"application window", applications[0]}}) {
        SCOPED_TRACE(testing::Message() << "owned by quillow's " << c.owner);
        ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(control));
        ASSERT_TRUE(ReportsCapture(control));
        const std::wstring before = Report();
        TReportTargetProcess owned(TReportTargetProcess::TMode::Serve, c.window);
        ASSERT_TRUE(owned.Started());
        ASSERT_EQ(::GetWindow(owned.Top(), GW_OWNER), c.window);
        for (HWND window : {owned.Button(), owned.Panel(), owned.Top()}) {
            ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(window));
            EXPECT_EQ(Report(), before) << "captured " << window;
        }
    }
    // The same windows without an owner are reported.
    TReportTargetProcess free(TReportTargetProcess::TMode::Serve);
    ASSERT_TRUE(free.Started());
    ::SendMessageW(form, inspect::WM_CAPTUREWINDOW, 0, reinterpret_cast<LPARAM>(free.Button()));
    EXPECT_TRUE(ReportsCapture(free.Button()));
}

}  // namespace
