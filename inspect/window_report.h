// The capture message's handling and the window report.
//
// A capture whose chain of parents and owners ends at the utility's own main
// window or application window is dropped, and so is one whose program is
// the utility's own executable. Any other capture replaces the report area
// with: a block of five lines for the captured window and for every window
// above it, a separator, and the program path of the top window. Effects of
// a capture that passes, in this order: program path of the captured
// window, own-program test, icon step, clearing, the blocks from the
// captured window upward, separator, program line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <windows.h>

#include "inspect/window_queries.h"

namespace inspect {

// The report area: emptied, then written one line at a time.
class TReportArea {
public:
    virtual ~TReportArea() = default;
    virtual void Clear() = 0;
    virtual void AppendLine(const std::wstring& line) = 0;
};

// Given a non-empty program path, makes that program's icon the main
// window's icon.
using TIconStep = std::function<void(const std::wstring& programPath)>;

// A window that announces a longer text is read up to this many characters:
// a million characters is far beyond any caption or control text a report
// is read for, and keeps the buffer at 2 MiB whatever a window claims.
inline constexpr std::intptr_t kMaxWindowTextLength = std::intptr_t{1} << 20;

// How long the text queries of one report may wait for windows whose threads
// do not answer: each query at most kTextAnswerTimeoutMs, all of them
// together at most kReportTextBudgetMs. A live thread answers in far under a
// millisecond; once the budget is spent the remaining texts are empty.
inline constexpr unsigned kTextAnswerTimeoutMs = 250;
inline constexpr unsigned kReportTextBudgetMs = 1000;

class TTextWaitBudget {
public:
    explicit TTextWaitBudget(unsigned totalMs = kReportTextBudgetMs) : m_remainingMs(totalMs) {}
    bool Spent() const { return m_remainingMs == 0; }
    // The timeout for the next query: the per-query bound or what is left.
    unsigned NextTimeoutMs() const;
    void Charge(std::uint64_t waitedMs);

private:
    unsigned m_remainingMs;
};

// What the capture handling needs from the main window. A zero handle stands
// for a window the utility does not have and matches no chain.
struct TCaptureContext {
    TWindowQueries& Queries;
    TReportArea& ReportArea;
    TIconStep IconStep;
    std::wstring OwnExecutablePath;
    std::uintptr_t MainWindow = 0;
    std::uintptr_t ApplicationWindow = 0;
};

// The window's text: WM_GETTEXTLENGTH, then WM_GETTEXT into a zero-filled
// buffer of one more character, taken up to the first NUL and at most the
// announced length (capped at kMaxWindowTextLength). Empty when the window
// announces no text or does not answer within the budget.
std::wstring GetWindowTextOf(TWindowQueries& queries, std::uintptr_t window, TTextWaitBudget& budget);
// The same with a budget of its own.
std::wstring GetWindowTextOf(TWindowQueries& queries, std::uintptr_t window);

// ASCII A to Z become a to z; every other code unit stays as it is.
std::wstring FoldAsciiCase(std::wstring path);
// True when the program path is the utility's own after ASCII folding. An
// empty program path is never the utility's own.
bool IsOwnProgramPath(const std::wstring& programPath, const std::wstring& ownExecutablePath);

// The window at the top of the chain of parents and owners of `window`.
std::uintptr_t TopOfChain(TWindowQueries& queries, std::uintptr_t window);
// True when the chain of `window` ends at the main window or the
// application window.
bool IsOwnWindowChain(const TCaptureContext& context, std::uintptr_t window);

// Writes the report on the window in `mHandle`, which walks up the chain and
// ends at its top. A window of the utility's own program changes nothing.
void ShowWindowInfo(const TCaptureContext& context, std::uintptr_t& mHandle);

// The handling of the capture message: lParam is the captured window. A
// capture in the utility's own window tree changes nothing (`mHandle`
// included); any other is stored in `mHandle` and reported.
void WMCaptureWindow(const TCaptureContext& context, std::uintptr_t& mHandle, LPARAM lParam);

}  // namespace inspect
