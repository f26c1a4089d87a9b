// The window report on real windows under Wine: a control two levels down
// and an owned pop-up of this process, the drop tests on real chains, a
// window tree of a second process, and one whose thread stops answering.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "desktop/handles.h"
#include "inspect/own_executable_path.h"
#include "inspect/report_lines.h"
#include "inspect/win32_window_queries.h"
#include "inspect/window_report.h"
#include "support/report_fakes.h"
#include "support/report_target_process.h"

namespace {

using inspect::AsHandleValue;
using inspect::TCaptureContext;
using testsupport::TRecordingReportArea;
using testsupport::TReportTargetProcess;
using Lines = std::vector<std::wstring>;

const std::wstring kSeparator(27, L'-');
constexpr wchar_t kTestClass[] = L"ReportTestWindow";
constexpr wchar_t kBraggerClass[] = L"ReportTestBragger";
constexpr wchar_t kBraggerText[] = L"short";
constexpr LRESULT kBraggedLength = 0x7FFFFFFF;
// Not this test's executable, so the own-program test lets its windows by.
constexpr wchar_t kUtilityPath[] = L"C:\\Program Files\\Morvanta\\quillow.exe";

// Announces a text of 0x7FFFFFFF characters and copies a short one.
LRESULT CALLBACK BraggerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETTEXTLENGTH) return kBraggedLength;
    if (message == WM_GETTEXT) {
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        const std::wstring text = kBraggerText;
        const std::size_t copied = std::min<std::size_t>(text.size(), wParam - 1);
        text.copy(buffer, copied);
        buffer[copied] = L'\0';
        return static_cast<LRESULT>(copied);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterTestClasses()
{
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kTestClass;
        ::RegisterClassW(&windowClass);
        windowClass.lpfnWndProc = BraggerProcedure;
        windowClass.lpszClassName = kBraggerClass;
        ::RegisterClassW(&windowClass);
        return true;
    }();
    (void)registered;
}

desktop::WindowHandle MakeWindow(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                                 int height, HWND parentOrOwner = nullptr)
{
    RegisterTestClasses();
    return desktop::WindowHandle(::CreateWindowExW(0, className, text, style, x, y, width, height, parentOrOwner,
                                                   nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

std::wstring Handle(HWND window) { return L"ハンドル:" + inspect::FormatWindowHandle(AsHandleValue(window)); }

// This process's window tree: a borderless top-level window at -20, 30
// with a panel at 10, 20 in it and a button at 5, 5 in the panel, and a
// pop-up the top window owns. The top-level windows stay hidden: the report
// needs no visible window, and Wine without a window manager waits seconds
// for a shown window to be withdrawn when it is destroyed.
class ReportOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        top = MakeWindow(kTestClass, L"top\r\nwindow", WS_POPUP, -20, 30, 300, 200);
        panel = MakeWindow(kTestClass, L"", WS_CHILD | WS_VISIBLE, 10, 20, 200, 100, top.get());
        button = MakeWindow(L"Button", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 50, 20, panel.get());
        popup = MakeWindow(kTestClass, L"pop-up", WS_POPUP, 400, 10, 100, 50, top.get());
        applicationWindow = MakeWindow(kTestClass, L"quillow", WS_POPUP, 0, 0, 0, 0);
        applicationPopup = MakeWindow(kTestClass, L"", WS_POPUP, 0, 0, 10, 10, applicationWindow.get());
        ASSERT_TRUE(top && panel && button && popup && applicationWindow && applicationPopup);
        ownPath = inspect::GetOwnExecutablePath();
    }

    // Runs the capture handling as the main window does, with `main` as the
    // utility's main window.
    void Capture(HWND captured, HWND main = nullptr, const std::wstring& utilityPath = kUtilityPath)
    {
        TCaptureContext context{queries,
                                area,
                                [this](const std::wstring& path) { iconPaths.push_back(path); },
                                utilityPath,
                                AsHandleValue(main),
                                AsHandleValue(applicationWindow.get())};
        inspect::WMCaptureWindow(context, mHandle, reinterpret_cast<LPARAM>(captured));
    }

    inspect::TWin32WindowQueries queries;
    TRecordingReportArea area;
    std::vector<std::wstring> iconPaths;
    std::uintptr_t mHandle = 0;
    std::wstring ownPath;
    desktop::WindowHandle top, panel, button, popup, applicationWindow, applicationPopup;
};

TEST_F(ReportOnWine, ControlTwoLevelsDownGivesSeventeenLines)
{
    Capture(button.get());
    const Lines expected = {
        kSeparator, L"キャプション/テキスト:OK", L"クラス:Button", L"座標:左:-5,上:55,右:45,下:75",
        Handle(button.get()),
        kSeparator, L"キャプション/テキスト:", L"クラス:ReportTestWindow", L"座標:左:-10,上:50,右:190,下:150",
        Handle(panel.get()),
        kSeparator, L"キャプション/テキスト:top\r\nwindow", L"クラス:ReportTestWindow",
        L"座標:左:-20,上:30,右:280,下:230", Handle(top.get()),
        kSeparator, L"プログラム:" + ownPath,
    };
    EXPECT_EQ(area.Lines, expected);
    EXPECT_EQ(iconPaths, std::vector<std::wstring>{ownPath});
    EXPECT_EQ(mHandle, AsHandleValue(top.get()));
}

TEST_F(ReportOnWine, OwnedPopUpIsFollowedByItsOwner)
{
    Capture(popup.get());
    ASSERT_EQ(area.Lines.size(), 12u);
    EXPECT_EQ(area.Lines[1], L"キャプション/テキスト:pop-up");
    EXPECT_EQ(area.Lines[3], L"座標:左:400,上:10,右:500,下:60");
    EXPECT_EQ(area.Lines[4], Handle(popup.get()));
    EXPECT_EQ(area.Lines[9], Handle(top.get()));
    EXPECT_EQ(area.Lines[11], L"プログラム:" + ownPath);
}

TEST_F(ReportOnWine, CapturesInTheUtilitysOwnTreeChangeNothing)
{
    struct {
        const char* Name;
        HWND Captured;
    } const cases[] = {
        {"main window", top.get()},
        {"control two levels inside it", button.get()},
        {"pop-up it owns", popup.get()},
        {"application window", applicationWindow.get()},
        {"pop-up owned by the application window", applicationPopup.get()},
    };
    for (const auto& c : cases) {
        mHandle = 0x1234;
        Capture(c.Captured, top.get());
        EXPECT_EQ(area.Clears, 0) << c.Name;
        EXPECT_TRUE(area.Lines.empty()) << c.Name;
        EXPECT_TRUE(iconPaths.empty()) << c.Name;
        EXPECT_EQ(mHandle, 0x1234u) << c.Name;
    }
}

TEST_F(ReportOnWine, WindowsOfTheUtilitysOwnProgramChangeNothing)
{
    std::wstring shouted = ownPath;
    for (wchar_t& c : shouted)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - (L'a' - L'A'));
    const std::wstring ownPaths[] = {ownPath, shouted};
    for (const std::wstring& own : ownPaths) {
        Capture(button.get(), nullptr, own);
        EXPECT_EQ(area.Clears, 0);
        EXPECT_TRUE(iconPaths.empty());
        EXPECT_EQ(mHandle, AsHandleValue(button.get())) << "passed the own-window test";
    }
}

TEST_F(ReportOnWine, AbsurdTextLengthGivesWhatTheWindowCopied)
{
    desktop::WindowHandle bragger = MakeWindow(kBraggerClass, L"", WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(bragger);
    EXPECT_EQ(inspect::GetWindowTextOf(queries, AsHandleValue(bragger.get())), kBraggerText);
}

TEST_F(ReportOnWine, WindowOfASecondProcess)
{
    TReportTargetProcess target(TReportTargetProcess::TMode::Serve);
    ASSERT_TRUE(target.Started());
    Capture(target.Button());
    const Lines expected = {
        kSeparator, L"キャプション/テキスト:OK", L"クラス:Button", L"座標:左:-15,上:66,右:65,下:91",
        Handle(target.Button()),
        kSeparator, L"キャプション/テキスト:panel\r\nsecond line", L"クラス:ReportTargetPanel",
        L"座標:左:-20,上:60,右:280,下:260", Handle(target.Panel()),
        kSeparator, L"キャプション/テキスト:" + target.TopCaption(), L"クラス:ReportTargetTop",
        L"座標:左:-30,上:40,右:370,下:340", Handle(target.Top()),
        kSeparator, L"プログラム:" + target.ProgramPath(),
    };
    EXPECT_EQ(area.Lines, expected);
    EXPECT_EQ(iconPaths, std::vector<std::wstring>{target.ProgramPath()});
}

TEST_F(ReportOnWine, HungWindowIsReportedWithinTheTextBudget)
{
    TReportTargetProcess target(TReportTargetProcess::TMode::Hang);
    ASSERT_TRUE(target.Started());
    // Let the fixture reach its sleep.
    ::Sleep(200);
    const auto started = std::chrono::steady_clock::now();
    Capture(target.Button());
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);

    // Unbounded, the report would wait for the fixture's whole 30 s sleep.
    EXPECT_LT(took.count(), 2 * static_cast<long long>(inspect::kReportTextBudgetMs));
    ASSERT_EQ(area.Lines.size(), 17u);
    for (int block = 0; block < 3; ++block) EXPECT_EQ(area.Lines[5 * block + 1], L"キャプション/テキスト:") << block;
    EXPECT_EQ(area.Lines[2], L"クラス:Button");
    EXPECT_EQ(area.Lines[13], L"座標:左:-30,上:40,右:370,下:340");
    EXPECT_EQ(area.Lines[16], L"プログラム:" + target.ProgramPath());
}

}  // namespace
