// The real quillow.exe under Wine: its window, components and layout, the
// toolbar's behaviour, the keys and commands, driven with real input.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/host_command.h"
#include "support/quillow_process.h"
#include "support/screen_capture.h"
#include "support/xdotool.h"

using namespace testsupport;

namespace {

int DesignToScreen(int designPixels)
{
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(designPixels, dpi, 120);
}

POINT CentreOnScreen(HWND window, const RECT& clientRect)
{
    POINT centre{(clientRect.left + clientRect.right) / 2, (clientRect.top + clientRect.bottom) / 2};
    ::ClientToScreen(window, &centre);
    return centre;
}

std::pair<DWORD, DWORD> Range(DWORD start, DWORD end) { return {start, end}; }

std::string ClickAt(POINT p)
{
    return "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
}

// A small window of the test's own, far from quillow's, that takes the
// activation: quillow's text areas then show no blinking caret, so two
// pictures of an unchanged window are equal.
class TActivationHolder {
public:
    TActivationHolder()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = L"QuillowTestActivationHolder";
        ::RegisterClassW(&windowClass);
        m_window = ::CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 1880, 1040,
                                     30, 30, nullptr, nullptr, windowClass.hInstance, nullptr);
        ::SetForegroundWindow(m_window);
        Pump();
    }
    ~TActivationHolder()
    {
        if (m_window) ::DestroyWindow(m_window);
    }
    TActivationHolder(const TActivationHolder&) = delete;
    TActivationHolder& operator=(const TActivationHolder&) = delete;
    bool Active() const { return ::GetForegroundWindow() == m_window; }
    static void Pump()
    {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }

private:
    HWND m_window = nullptr;
};

// quillow started afresh (no settings file) for each test.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::DeleteFileW((QuillowDataFolder() + L"quillow.ini").c_str());
        program = std::make_unique<TProgram>(L"quillow.exe");
        form = program->WaitForWindow(L"TMainForm");
        ASSERT_NE(form, nullptr) << "quillow's main window did not appear";
        auto edits = ChildrenOf(form, L"Edit");
        auto panels = ChildrenOf(form, L"TPanel");
        ASSERT_EQ(edits.size(), 1u);
        ASSERT_EQ(panels.size(), 1u);
        memo = edits[0];
        panel = panels[0];
        auto toolbars = ChildrenOf(panel, L"ToolbarWindow32");
        auto panelEdits = ChildrenOf(panel, L"Edit");
        ASSERT_EQ(toolbars.size(), 1u);
        ASSERT_EQ(panelEdits.size(), 1u);
        toolbar = toolbars[0];
        memoList = panelEdits[0];
    }

    void TearDown() override
    {
        if (program && program->Running() && form) {
            ::PostMessageW(form, WM_CLOSE, 0, 0);
            DWORD exitCode = 1;
            program->WaitForExit(exitCode, 10000);
        }
        ::DeleteFileW((QuillowDataFolder() + L"quillow.ini").c_str());
    }

    bool IsDown(const std::wstring& text) { return IsToolButtonDown(toolbar, text); }
    void ClickButton(const std::wstring& text) { ASSERT_TRUE(ClickToolButton(toolbar, text)); }
    void ClickInto(HWND area)
    {
        RECT client{};
        ::GetClientRect(area, &client);
        ASSERT_TRUE(Xdotool(ClickAt(CentreOnScreen(area, client))));
        ASSERT_TRUE(WaitUntil([&] { return Focus() == area; })) << "the area did not take the focus";
    }
    // The window with the keyboard focus in quillow's thread.
    HWND Focus()
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info);
        return info.hwndFocus;
    }
    std::string NameOf(HWND window)
    {
        return window == memo ? "Memo" : window == memoList ? "MemoList" : window == toolbar ? "ToolBar" : "another window";
    }
    std::pair<DWORD, DWORD> Selection(HWND area)
    {
        DWORD start = 0, end = 0;
        LRESULT packed = ::SendMessageW(area, EM_GETSEL, 0, 0);
        start = LOWORD(packed);
        end = HIWORD(packed);
        return {start, end};
    }

    std::unique_ptr<TProgram> program;
    HWND form = nullptr, memo = nullptr, panel = nullptr, toolbar = nullptr, memoList = nullptr;
};

TEST_F(MainWindowTest, WindowAndComponentsAsDesigned)
{
    EXPECT_EQ(WindowText(form), L"quillow");
    const LONG style = ::GetWindowLongW(form, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(::IsZoomed(form));

    RECT client{};
    ::GetClientRect(form, &client);
    EXPECT_EQ(client.right, DesignToScreen(830));
    EXPECT_EQ(client.bottom, DesignToScreen(328));

    // Tab order: the memo first, then the panel with the toolbar and the report area.
    EXPECT_EQ(::GetWindow(form, GW_CHILD), memo);
    EXPECT_EQ(::GetWindow(memo, GW_HWNDNEXT), panel);
    EXPECT_EQ(::GetWindow(panel, GW_CHILD), toolbar);
    EXPECT_FALSE(::GetWindowLongW(toolbar, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(::GetWindowLongW(memo, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(::GetWindowLongW(memoList, GWL_STYLE) & WS_TABSTOP);

    struct Expected {
        const wchar_t* text;
        BYTE style;
        bool down;
        int width;  // design pixels; 0: fits its caption
    };
    const Expected expected[] = {
        {L"処理", BTNS_CHECK, true, 129},
        {L"常に手前に表示", BTNS_CHECK, false, 129},
        {L"情報表示をクリア(&I)", BTNS_BUTTON, false, 0},
        {L"メモをクリア(&M)", BTNS_BUTTON, false, 0},
        {L"アイコンを保存(&C)", BTNS_BUTTON, false, 0},
        {L"", BTNS_SEP, false, 10},
        {L"左ボタン", BTNS_CHECKGROUP, true, 0},
        {L"中ボタン", BTNS_CHECKGROUP, false, 0},
        {L"右ボタン", BTNS_CHECKGROUP, false, 0},
    };
    auto buttons = ReadToolbar(toolbar);
    ASSERT_EQ(buttons.size(), std::size(expected));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(buttons[i].Text, expected[i].text);
        EXPECT_EQ(buttons[i].Style & (BTNS_CHECKGROUP | BTNS_SEP), expected[i].style);
        EXPECT_EQ((buttons[i].State & TBSTATE_CHECKED) != 0, expected[i].down);
        if (expected[i].width) {
            EXPECT_EQ(buttons[i].Rect.right - buttons[i].Rect.left, DesignToScreen(expected[i].width));
        }
        if (expected[i].style != BTNS_SEP) {
            EXPECT_EQ(buttons[i].Rect.bottom - buttons[i].Rect.top, DesignToScreen(24));
        }
    }
    // The first row ends after the clear command; the second starts with the memo's.
    EXPECT_TRUE(buttons[2].State & TBSTATE_WRAP);
    EXPECT_GT(buttons[3].Rect.top, buttons[0].Rect.top);
    EXPECT_EQ(buttons[3].Rect.left, buttons[0].Rect.left);

    // The report area is read-only, the memo editable; both scroll both ways
    // without wrapping and hold far more than the default 32 000 characters.
    for (HWND area : {memo, memoList}) {
        const LONG areaStyle = ::GetWindowLongW(area, GWL_STYLE);
        EXPECT_TRUE(areaStyle & ES_MULTILINE);
        EXPECT_TRUE(areaStyle & WS_HSCROLL);
        EXPECT_TRUE(areaStyle & WS_VSCROLL);
        EXPECT_TRUE(areaStyle & ES_AUTOHSCROLL);
        EXPECT_GT(static_cast<unsigned long>(::SendMessageW(area, EM_GETLIMITTEXT, 0, 0)), 1000000ul);
        EXPECT_EQ(WindowText(area), L"");
    }
    EXPECT_TRUE(::GetWindowLongW(memoList, GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(::GetWindowLongW(memo, GWL_STYLE) & ES_READONLY);
}

TEST_F(MainWindowTest, MemoTakesHalfTheOuterWidthAtFullHeight)
{
    // Half the outer width, frame included, rounded toward zero.
    struct Case {
        int outerWidth;
        int memoWidth;
    };
    const Case cases[] = {{1001, 500}, {1000, 500}, {701, 350}, {700, 350}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outerWidth);
        ::SetWindowPos(form, nullptr, 0, 0, c.outerWidth, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT memoRect{}, client{}, panelRect{};
        EXPECT_TRUE(WaitUntil([&] {
            ::GetWindowRect(memo, &memoRect);
            return memoRect.right - memoRect.left == c.memoWidth;
        })) << "memo width " << memoRect.right - memoRect.left;
        ::GetClientRect(form, &client);
        ::GetWindowRect(panel, &panelRect);
        EXPECT_EQ(memoRect.bottom - memoRect.top, client.bottom);
        POINT origin{0, 0};
        ::ClientToScreen(form, &origin);
        EXPECT_EQ(memoRect.right, origin.x + client.right);
        EXPECT_EQ(panelRect.right - panelRect.left, client.right - c.memoWidth);
    }
}

TEST_F(MainWindowTest, AfterEachResizeTheWindowLooksAsAFullRepaintDrawsIt)
{
    TActivationHolder holder;
    ASSERT_TRUE(WaitUntil([&] {
        TActivationHolder::Pump();
        return holder.Active();
    })) << "quillow kept the activation";
    // The pointer rests over the report area at every width, where it
    // highlights nothing; away from the window, Wine may still hand the
    // toolbar a stale pointer position when the window changes.
    ::SetWindowPos(form, nullptr, 10, 10, 838, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Xdotool("mousemove 150 380"));
    ASSERT_TRUE(WaitUntil([&] {
        const POINT at{150, 380};
        return ::WindowFromPoint(at) == memoList && ::SendMessageW(toolbar, TB_GETHOTITEM, 0, 0) < 0;
    })) << "the pointer is not over the report area alone";
    const std::wstring folder = ScreenshotFolder();
    // Narrow to wide and back; the toolbar's rows change on the way.
    const int widths[] = {560, 716, 838, 1000, 1300, 1000, 838, 716, 560, 716};
    std::vector<LONG> toolBarHeights;
    for (std::size_t step = 0; step < std::size(widths); ++step) {
        const int width = widths[step];
        SCOPED_TRACE(testing::Message() << "step " << step << ", width " << width);
        ::SetWindowPos(form, nullptr, 10, 10, width, 420, SWP_NOZORDER | SWP_NOACTIVATE);
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        RECT outer{}, bar{};
        ::GetWindowRect(form, &outer);
        ASSERT_EQ(outer.right - outer.left, width);
        ::GetWindowRect(toolbar, &bar);
        toolBarHeights.push_back(bar.bottom - bar.top);

        const std::wstring name = folder + L"resize-" + std::to_wstring(step) + L"-" + std::to_wstring(width);
        TScreenImage resized, repainted;
        ASSERT_TRUE(CaptureSettledScreen(outer, name + L"-resized.ppm", resized)) << "no settled picture";
        ::RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ASSERT_TRUE(CaptureSettledScreen(outer, name + L"-repainted.ppm", repainted)) << "no settled picture";
        const TImageDifference difference = CompareImages(resized, repainted);
        if (difference.Pixels == 0) {
            ::DeleteFileW(resized.Path.c_str());
            ::DeleteFileW(repainted.Path.c_str());
        }
        EXPECT_EQ(difference.Pixels, 0u) << "first difference at (" << difference.FirstX << ", " << difference.FirstY
                                         << ") of the window; pictures kept: " << HostPath(resized.Path) << " and "
                                         << HostPath(repainted.Path);
    }
    std::sort(toolBarHeights.begin(), toolBarHeights.end());
    toolBarHeights.erase(std::unique(toolBarHeights.begin(), toolBarHeights.end()), toolBarHeights.end());
    EXPECT_GE(toolBarHeights.size(), 3u) << "the widths must give the toolbar different numbers of rows";
}

TEST_F(MainWindowTest, ButtonChoiceBehavesLikeOptionButtons)
{
    ClickButton(L"中ボタン");
    ASSERT_TRUE(WaitUntil([&] { return IsDown(L"中ボタン"); }));
    EXPECT_FALSE(IsDown(L"左ボタン"));
    EXPECT_FALSE(IsDown(L"右ボタン"));
    // A click on the button already down keeps it down.
    ClickButton(L"中ボタン");
    ::Sleep(300);
    EXPECT_TRUE(IsDown(L"中ボタン"));
    EXPECT_FALSE(IsDown(L"左ボタン"));
    ClickButton(L"右ボタン");
    ASSERT_TRUE(WaitUntil([&] { return IsDown(L"右ボタン"); }));
    EXPECT_FALSE(IsDown(L"中ボタン"));
}

TEST_F(MainWindowTest, TabAndShiftTabMoveTheFocusBetweenTheTwoAreas)
{
    ::SetWindowTextW(memo, L"notes");
    ::SetWindowTextW(memoList, L"report");
    ClickInto(memo);
    struct Step {
        const char* keys;
        HWND expected;
    };
    const Step steps[] = {
        {"Tab", memoList}, {"Tab", memo}, {"shift+Tab", memoList}, {"shift+Tab", memo},
        {"shift+Tab", memoList}, {"Tab", memo},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.keys << " towards " << NameOf(step.expected));
        ASSERT_TRUE(Xdotool(std::string("key ") + step.keys));
        EXPECT_TRUE(WaitUntil([&] { return Focus() == step.expected; })) << "focus in " << NameOf(Focus());
    }
    // No tab reached either area.
    EXPECT_EQ(WindowText(memo), L"notes");
    EXPECT_EQ(WindowText(memoList), L"report");

    // A click on the toolbar leaves the focus where it was.
    ClickButton(L"中ボタン");
    ASSERT_TRUE(WaitUntil([&] { return IsDown(L"中ボタン"); }));
    ::Sleep(200);
    EXPECT_EQ(Focus(), memo) << "focus in " << NameOf(Focus());
}

TEST_F(MainWindowTest, AlwaysOnTopFollowsItsButton)
{
    EXPECT_FALSE(::GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ClickButton(L"常に手前に表示");
    EXPECT_TRUE(WaitUntil([&] { return (::GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    EXPECT_TRUE(IsDown(L"常に手前に表示"));
    ClickButton(L"常に手前に表示");
    EXPECT_TRUE(WaitUntil([&] { return (::GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }));
    EXPECT_FALSE(IsDown(L"常に手前に表示"));
}

TEST_F(MainWindowTest, CtrlASelectsAllOfTheFocusedAreaAndNothingInTheOther)
{
    ::SetWindowTextW(memo, L"memo text");
    ::SetWindowTextW(memoList, L"report line");
    struct Case {
        HWND focused;
        HWND other;
    };
    for (const Case& c : {Case{memo, memoList}, Case{memoList, memo}}) {
        SCOPED_TRACE(NameOf(c.focused));
        ClickInto(c.focused);
        ::SendMessageW(c.focused, EM_SETSEL, 1, 1);
        // A caret inside the other area's text, where a select-all would show.
        ::SendMessageW(c.other, EM_SETSEL, 2, 2);
        ASSERT_TRUE(Xdotool("key ctrl+a"));
        const auto length = static_cast<DWORD>(WindowText(c.focused).size());
        EXPECT_TRUE(WaitUntil([&] { return Selection(c.focused) == Range(0, length); }));
        EXPECT_EQ(Selection(c.other), Range(2, 2));

        // Ctrl+Shift+A selects nothing.
        ::SendMessageW(c.focused, EM_SETSEL, 1, 1);
        ASSERT_TRUE(Xdotool("key ctrl+shift+a"));
        ::Sleep(300);
        EXPECT_EQ(Selection(c.focused), Range(1, 1));
    }
}

TEST_F(MainWindowTest, CtrlAWithTheMouseButtonHeldSelectsNothing)
{
    ::SetWindowTextW(memo, L"held");
    RECT client{};
    ::GetClientRect(memo, &client);
    POINT p = CentreOnScreen(memo, client);
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " mousedown 1"));
    ::Sleep(200);
    ASSERT_TRUE(Xdotool("key ctrl+a"));
    ::Sleep(300);
    auto selection = Selection(memo);
    ASSERT_TRUE(Xdotool("mouseup 1"));
    EXPECT_FALSE(selection.first == 0 && selection.second == 4);
}

TEST_F(MainWindowTest, ClearCommandsAndTheirAccessKeys)
{
    ::SetWindowTextW(memoList, L"report");
    ::SetWindowTextW(memo, L"notes");
    // Alt+M empties the memo while the focus is in the report area.
    ClickInto(memoList);
    ASSERT_TRUE(Xdotool("key alt+m"));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(memo).empty(); }));
    EXPECT_EQ(WindowText(memoList), L"report");
    // Alt+I empties the report area while the focus is in the memo.
    ::SetWindowTextW(memo, L"notes");
    ClickInto(memo);
    ASSERT_TRUE(Xdotool("key alt+i"));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(memoList).empty(); }));
    EXPECT_EQ(WindowText(memo), L"notes");
    // The buttons themselves; clearing an empty area changes nothing.
    ClickButton(L"メモをクリア(&M)");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(memo).empty(); }));
    ClickButton(L"メモをクリア(&M)");
    ::SetWindowTextW(memoList, L"again");
    ClickButton(L"情報表示をクリア(&I)");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(memoList).empty(); }));
    EXPECT_TRUE(program->Running());
}

TEST_F(MainWindowTest, MovesNearTheWorkAreaEdgesSnap)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer{};
    ::GetWindowRect(form, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    struct Case {
        const char* label;
        int x, y, expectedX, expectedY;
    };
    const Case cases[] = {
        {"left and top within 10", work.left + 7, work.top + 9, work.left, work.top},
        {"10 away stays", work.left + 10, work.top + 10, work.left + 10, work.top + 10},
        {"right and bottom", work.right - width - 4, work.bottom - height + 3, work.right - width, work.bottom - height},
        {"a move to (0, 0)", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        // A move by the user happens inside the system's move loop.
        ::SendMessageW(form, WM_ENTERSIZEMOVE, 0, 0);
        ::SetWindowPos(form, nullptr, c.x, c.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(form, WM_EXITSIZEMOVE, 0, 0);
        RECT moved{};
        ::GetWindowRect(form, &moved);
        EXPECT_EQ(moved.left, c.expectedX) << c.label;
        EXPECT_EQ(moved.top, c.expectedY) << c.label;
    }
}

TEST_F(MainWindowTest, ApplicationWindowIsAHiddenToolWindowWithoutText)
{
    auto windows = TopLevelWindowsOf(program->Id(), L"TApplication");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_FALSE(::IsWindowVisible(windows[0]));
    EXPECT_TRUE(::GetWindowLongW(windows[0], GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(WindowText(windows[0]), L"");
    EXPECT_TRUE(::GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(::GetWindow(form, GW_OWNER), nullptr);
}

TEST_F(MainWindowTest, ClosingEndsTheProgramWithExitCodeZero)
{
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(program->WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
