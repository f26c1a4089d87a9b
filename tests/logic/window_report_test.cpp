// The window report against a fake window tree: line texts, the walk up the
// chain, the two drop tests, the order of effects and the bounded text
// queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/report_lines.h"
#include "inspect/window_report.h"
#include "support/report_fakes.h"

namespace {

using inspect::TCaptureContext;
using testsupport::TFakeWindow;
using testsupport::TFakeWindowTree;
using testsupport::TRecordingReportArea;
using Lines = std::vector<std::wstring>;

constexpr wchar_t kOwnPath[] = L"C:\\Program Files\\Morvanta\\quillow.exe";
constexpr std::uintptr_t kMainWindow = 0x100;
constexpr std::uintptr_t kApplicationWindow = 0x200;
constexpr std::uintptr_t kUntouched = 0xDEAD;

const std::wstring kSeparator(27, L'-');

// One capture through the handler, with what it left behind.
struct TCaptureResult {
    Lines Report;
    int Clears = 0;
    std::vector<std::wstring> IconPaths;
    std::uintptr_t MHandle = kUntouched;
};

TCaptureResult Capture(const std::vector<TFakeWindow>& windows, std::uintptr_t captured,
                       const std::wstring& ownPath = kOwnPath)
{
    TFakeWindowTree tree(windows);
    TRecordingReportArea area;
    TCaptureResult result;
    TCaptureContext context{tree, area, [&](const std::wstring& path) { result.IconPaths.push_back(path); }, ownPath,
                            kMainWindow, kApplicationWindow};
    inspect::WMCaptureWindow(context, result.MHandle, static_cast<LPARAM>(captured));
    result.Report = area.Lines;
    result.Clears = area.Clears;
    return result;
}

struct TReportCase {
    const char* Name;
    std::vector<TFakeWindow> Windows;
    std::uintptr_t Captured;
    Lines Expected;
};

TEST(WindowReport, WritesABlockPerWindowUpTheChainThenTheProgram)
{
    const TReportCase cases[] = {
        {"worked example: button in a dialog",
         {{0xA0B2C, 0x20C4E, L"OK", L"Button", {420, 310, 508, 338}, L"C:\\Tools\\sample.exe"},
          {0x20C4E, 0, L"Options", L"#32770", {300, 200, 700, 500}, L"C:\\Tools\\sample.exe"}},
         0xA0B2C,
         {kSeparator, L"キャプション/テキスト:OK", L"クラス:Button", L"座標:左:420,上:310,右:508,下:338",
          L"ハンドル:000A0B2C", kSeparator, L"キャプション/テキスト:Options", L"クラス:#32770",
          L"座標:左:300,上:200,右:700,下:500", L"ハンドル:00020C4E", kSeparator,
          L"プログラム:C:\\Tools\\sample.exe"}},
        {"top-level window alone: seven lines",
         {{0x1A2B, 0, L"Editor", L"EditorFrame", {-8, -8, 1928, 1048}, L"C:\\e.exe"}},
         0x1A2B,
         {kSeparator, L"キャプション/テキスト:Editor", L"クラス:EditorFrame", L"座標:左:-8,上:-8,右:1928,下:1048",
          L"ハンドル:00001A2B", kSeparator, L"プログラム:C:\\e.exe"}},
        {"control two levels down: seventeen lines, program of the top window",
         {{0x30, 0x20, L"Go", L"Button", {1, 2, 3, 4}, L"C:\\plugin-host.exe"},
          {0x20, 0x10, L"", L"Panel", {5, 6, 7, 8}, L"C:\\plugin-host.exe"},
          {0x10, 0, L"Main", L"Frame", {9, 10, 11, 12}, L"C:\\main.exe"}},
         0x30,
         {kSeparator, L"キャプション/テキスト:Go", L"クラス:Button", L"座標:左:1,上:2,右:3,下:4", L"ハンドル:00000030",
          kSeparator, L"キャプション/テキスト:", L"クラス:Panel", L"座標:左:5,上:6,右:7,下:8", L"ハンドル:00000020",
          kSeparator, L"キャプション/テキスト:Main", L"クラス:Frame", L"座標:左:9,上:10,右:11,下:12",
          L"ハンドル:00000010", kSeparator, L"プログラム:C:\\main.exe"}},
        {"CR LF inside a text is passed on unchanged",
         {{0x44, 0, L"one\r\ntwo\r\n", L"Edit", {0, 0, 10, 10}, L"C:\\n.exe"}},
         0x44,
         {kSeparator, L"キャプション/テキスト:one\r\ntwo\r\n", L"クラス:Edit", L"座標:左:0,上:0,右:10,下:10",
          L"ハンドル:00000044", kSeparator, L"プログラム:C:\\n.exe"}},
        {"extreme coordinates",
         {{0xFFFFFFFF, 0, L"x", L"c", {INT32_MIN, -1, INT32_MAX, 0}, L"C:\\x.exe"}},
         0xFFFFFFFF,
         {kSeparator, L"キャプション/テキスト:x", L"クラス:c",
          L"座標:左:-2147483648,上:-1,右:2147483647,下:0", L"ハンドル:FFFFFFFF", kSeparator,
          L"プログラム:C:\\x.exe"}},
        {"parent gone before its block: empty values, not the child's",
         {{0x81, 0x80, L"child", L"Child", {1, 2, 3, 4}, L"C:\\c.exe"}},
         0x81,
         {kSeparator, L"キャプション/テキスト:child", L"クラス:Child", L"座標:左:1,上:2,右:3,下:4",
          L"ハンドル:00000081", kSeparator, L"キャプション/テキスト:", L"クラス:", L"座標:左:0,上:0,右:0,下:0",
          L"ハンドル:00000080", kSeparator, L"プログラム:"}},
        {"handle that names no window: empty block, empty program",
         {},
         0x5150,
         {kSeparator, L"キャプション/テキスト:", L"クラス:", L"座標:左:0,上:0,右:0,下:0", L"ハンドル:00005150",
          kSeparator, L"プログラム:"}},
    };
    for (const TReportCase& c : cases) {
        const TCaptureResult result = Capture(c.Windows, c.Captured);
        EXPECT_EQ(result.Report, c.Expected) << c.Name;
        EXPECT_EQ(result.Clears, 1) << c.Name;
    }
}

TEST(WindowReport, IconComesFromTheCapturedProgramAndMHandleEndsAtTheTop)
{
    const TCaptureResult result = Capture({{0x30, 0x20, L"", L"Button", {}, L"C:\\plugin-host.exe"},
                                           {0x20, 0x10, L"", L"Panel", {}, L"C:\\plugin-host.exe"},
                                           {0x10, 0, L"", L"Frame", {}, L"C:\\main.exe"}},
                                          0x30);
    EXPECT_EQ(result.IconPaths, std::vector<std::wstring>{L"C:\\plugin-host.exe"});
    EXPECT_EQ(result.Report.back(), L"プログラム:C:\\main.exe");
    EXPECT_EQ(result.MHandle, 0x10u);
}

TEST(WindowReport, EmptyProgramPathWritesTheReportButTakesNoIcon)
{
    const TCaptureResult result = Capture({{0x70, 0, L"t", L"c", {}, L""}}, 0x70);
    EXPECT_TRUE(result.IconPaths.empty());
    EXPECT_EQ(result.Report.size(), 7u);
    EXPECT_EQ(result.Report.back(), L"プログラム:");
}

TEST(WindowReport, HandleTextHasAtLeastEightUpperCaseDigits)
{
    struct {
        std::uintptr_t Handle;
        const wchar_t* Expected;
    } const cases[] = {
        {0x0, L"00000000"},
        {0x1A2B, L"00001A2B"},
        {0xabcdef, L"00ABCDEF"},
        {0x12345678, L"12345678"},
        {0xFFFFFFFF, L"FFFFFFFF"},
#if defined(_WIN64)
        {0x123456789AB, L"123456789AB"},
        {UINTPTR_MAX, L"FFFFFFFFFFFFFFFF"},
#endif
    };
    for (const auto& c : cases) EXPECT_EQ(inspect::FormatWindowHandle(c.Handle), c.Expected) << c.Expected;
}

TEST(WindowReport, EffectsComeInTheirFixedOrder)
{
    std::vector<std::wstring> log;
    TFakeWindowTree tree({{0x2, 0x1, L"b", L"B", {}, L"C:\\child.exe"}, {0x1, 0, L"a", L"A", {}, L"C:\\top.exe"}},
                         &log);
    TRecordingReportArea area(&log);
    TCaptureContext context{tree, area, [&](const std::wstring& path) { log.push_back(L"icon " + path); }, kOwnPath,
                            kMainWindow, kApplicationWindow};
    std::uintptr_t mHandle = 0;
    inspect::WMCaptureWindow(context, mHandle, 0x2);
    const std::vector<std::wstring> expected = {
        L"program path 2",
        L"icon C:\\child.exe",
        L"clear",
        L"line " + kSeparator,
        L"text length 2",
        L"text 2",
        L"line キャプション/テキスト:b",
        L"line クラス:B",
        L"line 座標:左:0,上:0,右:0,下:0",
        L"line ハンドル:00000002",
        L"line " + kSeparator,
        L"text length 1",
        L"text 1",
        L"line キャプション/テキスト:a",
        L"line クラス:A",
        L"line 座標:左:0,上:0,右:0,下:0",
        L"line ハンドル:00000001",
        L"line " + kSeparator,
        L"program path 1",
        L"line プログラム:C:\\top.exe",
    };
    EXPECT_EQ(log, expected);
}

struct TDropCase {
    const char* Name;
    std::vector<TFakeWindow> Windows;
    std::uintptr_t Captured;
    bool Dropped;
};

TEST(WindowReport, DropsCapturesInTheUtilitysOwnWindowTree)
{
    const std::vector<TFakeWindow> own = {
        {kMainWindow, 0, L"quillow", L"TMainForm", {}, L"C:\\elsewhere.exe"},
        {0x110, kMainWindow, L"", L"Memo", {}, L"C:\\elsewhere.exe"},
        {0x111, 0x110, L"", L"Scroll", {}, L"C:\\elsewhere.exe"},
        {0x120, kMainWindow, L"Save", L"#32770", {}, L"C:\\elsewhere.exe"},
        {kApplicationWindow, 0, L"quillow", L"TApplication", {}, L"C:\\elsewhere.exe"},
        {0x210, kApplicationWindow, L"", L"Popup", {}, L"C:\\elsewhere.exe"},
        {0x300, 0, L"Other", L"Frame", {}, L"C:\\other.exe"},
        {0x310, 0x300, L"", L"Child", {}, L"C:\\other.exe"},
    };
    const TDropCase cases[] = {
        {"main window", own, kMainWindow, true},
        {"control two levels inside the main window", own, 0x111, true},
        {"dialog owned by the main window", own, 0x120, true},
        {"application window", own, kApplicationWindow, true},
        {"pop-up owned by the application window", own, 0x210, true},
        {"window of another program", own, 0x300, false},
        {"control of another program", own, 0x310, false},
    };
    for (const TDropCase& c : cases) {
        const TCaptureResult result = Capture(c.Windows, c.Captured);
        if (c.Dropped) {
            EXPECT_EQ(result.Clears, 0) << c.Name;
            EXPECT_TRUE(result.Report.empty()) << c.Name;
            EXPECT_TRUE(result.IconPaths.empty()) << c.Name;
            EXPECT_EQ(result.MHandle, kUntouched) << c.Name;
        } else {
            EXPECT_EQ(result.Clears, 1) << c.Name;
            EXPECT_FALSE(result.Report.empty()) << c.Name;
            EXPECT_EQ(result.IconPaths.size(), 1u) << c.Name;
        }
    }
}

TEST(WindowReport, ZeroHandlesOfOwnWindowsMatchNoChain)
{
    TFakeWindowTree tree({});
    TRecordingReportArea area;
    TCaptureContext context{tree, area, nullptr, kOwnPath, 0, 0};
    std::uintptr_t mHandle = kUntouched;
    inspect::WMCaptureWindow(context, mHandle, 0);
    EXPECT_EQ(mHandle, 0u);
    EXPECT_EQ(area.Lines.size(), 7u);
}

struct TOwnProgramCase {
    const char* Name;
    const wchar_t* ProgramPath;
    const wchar_t* OwnPath;
    bool Dropped;
};

TEST(WindowReport, DropsWindowsOfTheUtilitysOwnProgramFoldingOnlyAscii)
{
    const TOwnProgramCase cases[] = {
        {"same path", L"C:\\Tools\\quillow.exe", L"C:\\Tools\\quillow.exe", true},
        {"ASCII case differs", L"c:\\TOOLS\\Quillow.EXE", L"C:\\Tools\\quillow.exe", true},
        {"every ASCII letter folds", L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", L"abcdefghijklmnopqrstuvwxyz", true},
        {"non-ASCII case differs (Latin)", L"C:\\Ärger\\quillow.exe", L"C:\\ärger\\quillow.exe", false},
        {"non-ASCII case differs (full width)", L"C:\\Ｑ\\quillow.exe", L"C:\\ｑ\\quillow.exe", false},
        {"the code unit before A does not fold", L"C:\\@\\quillow.exe", L"C:\\`\\quillow.exe", false},
        {"the code unit after Z does not fold", L"C:\\[\\quillow.exe", L"C:\\{\\quillow.exe", false},
        {"other folder", L"D:\\Tools\\quillow.exe", L"C:\\Tools\\quillow.exe", false},
        {"longer path", L"C:\\Tools\\quillow.exe.bak", L"C:\\Tools\\quillow.exe", false},
        {"empty program path, even with an empty own path", L"", L"", false},
    };
    for (const TOwnProgramCase& c : cases) {
        const TCaptureResult result = Capture({{0x500, 0, L"t", L"c", {}, c.ProgramPath}}, 0x500, c.OwnPath);
        EXPECT_EQ(result.MHandle, 0x500u) << c.Name;  // the own-window test let it through
        if (c.Dropped) {
            EXPECT_EQ(result.Clears, 0) << c.Name;
            EXPECT_TRUE(result.Report.empty()) << c.Name;
            EXPECT_TRUE(result.IconPaths.empty()) << c.Name;
        } else {
            EXPECT_EQ(result.Clears, 1) << c.Name;
            EXPECT_EQ(result.Report.size(), 7u) << c.Name;
        }
    }
}

TEST(WindowReport, ADroppedCaptureLeavesThePreviousReport)
{
    TFakeWindowTree tree({{0x600, 0, L"other", L"c", {}, L"C:\\other.exe"},
                          {0x700, 0, L"copy", L"c", {}, L"C:\\TOOLS\\QUILLOW.EXE"},
                          {0x110, kMainWindow, L"", L"Memo", {}, L"C:\\other.exe"}});
    TRecordingReportArea area;
    int icons = 0;
    TCaptureContext context{tree, area, [&](const std::wstring&) { ++icons; }, L"C:\\Tools\\quillow.exe",
                            kMainWindow, kApplicationWindow};
    std::uintptr_t mHandle = 0;
    inspect::WMCaptureWindow(context, mHandle, 0x600);
    const Lines first = area.Lines;
    inspect::WMCaptureWindow(context, mHandle, 0x110);  // own window
    EXPECT_EQ(mHandle, 0x600u);
    inspect::WMCaptureWindow(context, mHandle, 0x700);  // own program
    EXPECT_EQ(mHandle, 0x700u);
    EXPECT_EQ(area.Lines, first);
    EXPECT_EQ(area.Clears, 1);
    EXPECT_EQ(icons, 1);
}

struct TTextCase {
    const char* Name;
    TFakeWindow Window;
    std::wstring Expected;
};

TEST(WindowText, ReadsWhatTheWindowCopiedUpToItsAnnouncedLength)
{
    const TTextCase cases[] = {
        {"plain text", {.Handle = 0x1, .Text = L"Hello"}, L"Hello"},
        {"empty text", {.Handle = 0x1, .Text = L""}, L""},
        {"negative length", {.Handle = 0x1, .Text = L"ignored", .AnnouncedLength = -5}, L""},
        {"copies fewer than it announced", {.Handle = 0x1, .Text = L"abc", .AnnouncedLength = 10}, L"abc"},
        {"announces fewer than it has", {.Handle = 0x1, .Text = L"abcdef", .AnnouncedLength = 3}, L"abc"},
        {"fills the buffer without NUL", {.Handle = 0x1, .AnnouncedLength = 4, .OverfillsBuffer = true}, L"xxxx"},
        {"NUL inside the text ends it", {.Handle = 0x1, .Text = std::wstring(L"ab\0cd", 5)}, L"ab"},
        {"absurd length, small text", {.Handle = 0x1, .Text = L"tiny", .AnnouncedLength = 0x7FFFFFFF}, L"tiny"},
    };
    for (const TTextCase& c : cases) {
        TFakeWindowTree tree({c.Window});
        EXPECT_EQ(inspect::GetWindowTextOf(tree, 0x1), c.Expected) << c.Name;
    }
}

TEST(WindowText, AnAbsurdLengthGetsABoundedBuffer)
{
    const std::wstring huge(inspect::kMaxWindowTextLength + 100, L'q');
    TFakeWindowTree tree({{.Handle = 0x1, .Text = huge, .AnnouncedLength = 0x7FFFFFFF}});
    const std::wstring text = inspect::GetWindowTextOf(tree, 0x1);
    EXPECT_EQ(tree.LargestTextBuffer, static_cast<std::size_t>(inspect::kMaxWindowTextLength) + 1);
    EXPECT_EQ(text, huge.substr(0, inspect::kMaxWindowTextLength));
#if defined(_WIN64)
    TFakeWindowTree wider({{.Handle = 0x1, .Text = L"w", .AnnouncedLength = INTPTR_MAX}});
    EXPECT_EQ(inspect::GetWindowTextOf(wider, 0x1), L"w");
    EXPECT_EQ(wider.LargestTextBuffer, static_cast<std::size_t>(inspect::kMaxWindowTextLength) + 1);
#endif
}

TEST(WindowText, HungWindowsCostAtMostTheReportsBudget)
{
    struct {
        const char* Name;
        int HungWindows;  // the chain's lower windows; the top answers
    } const cases[] = {{"one hung window", 1}, {"three hung windows", 3}, {"ten hung windows", 10}};
    for (const auto& c : cases) {
        std::vector<TFakeWindow> windows;
        for (int i = 0; i < c.HungWindows; ++i)
            windows.push_back({.Handle = std::uintptr_t(0x10 + i),
                               .Parent = std::uintptr_t(0x10 + i + 1),
                               .Text = L"hung",
                               .ClassName = L"H",
                               .ProgramPath = L"C:\\h.exe",
                               .Hung = true});
        const std::uintptr_t top = 0x10 + c.HungWindows;
        windows.push_back({top, 0, L"alive", L"A", {}, L"C:\\h.exe"});
        TFakeWindowTree tree(windows);
        TRecordingReportArea area;
        TCaptureContext context{tree, area, nullptr, kOwnPath, kMainWindow, kApplicationWindow};
        std::uintptr_t mHandle = 0;
        inspect::WMCaptureWindow(context, mHandle, 0x10);

        EXPECT_LE(tree.Clock, inspect::kReportTextBudgetMs) << c.Name;
        ASSERT_EQ(area.Lines.size(), 5u * (c.HungWindows + 1) + 2) << c.Name;
        for (int i = 0; i < c.HungWindows; ++i) {
            EXPECT_EQ(area.Lines[5 * i + 1], L"キャプション/テキスト:") << c.Name;
            EXPECT_EQ(area.Lines[5 * i + 2], L"クラス:H") << c.Name;  // other queries go on
        }
        // The answering top window still gets its text while budget is left.
        const bool budgetLeft = c.HungWindows * inspect::kTextAnswerTimeoutMs < inspect::kReportTextBudgetMs;
        EXPECT_EQ(area.Lines[5 * c.HungWindows + 1],
                  budgetLeft ? L"キャプション/テキスト:alive" : L"キャプション/テキスト:")
            << c.Name;
    }
}

TEST(WindowText, TheLastWaitGetsOnlyWhatIsLeftOfTheBudget)
{
    TFakeWindowTree tree({{.Handle = 0x1, .Text = L"hung", .Hung = true}});
    inspect::TTextWaitBudget budget(inspect::kTextAnswerTimeoutMs + 50);
    inspect::GetWindowTextOf(tree, 0x1, budget);
    EXPECT_EQ(tree.Clock, inspect::kTextAnswerTimeoutMs);
    inspect::GetWindowTextOf(tree, 0x1, budget);
    EXPECT_EQ(tree.Clock, inspect::kTextAnswerTimeoutMs + 50);
    EXPECT_TRUE(budget.Spent());
}

TEST(WindowText, ASpentBudgetSendsNoMoreQueries)
{
    TFakeWindowTree tree({{.Handle = 0x1, .Text = L"hung", .Hung = true}});
    inspect::TTextWaitBudget budget;
    while (!budget.Spent()) inspect::GetWindowTextOf(tree, 0x1, budget);
    const int sent = tree.TextQueries;
    EXPECT_EQ(inspect::GetWindowTextOf(tree, 0x1, budget), L"");
    EXPECT_EQ(tree.TextQueries, sent);
    EXPECT_EQ(tree.Clock, inspect::kReportTextBudgetMs);
}

}  // namespace
