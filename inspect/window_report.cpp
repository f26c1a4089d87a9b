#include "inspect/window_report.h"

#include <algorithm>
#include <vector>

#include "desktop/program_path.h"
#include "inspect/report_lines.h"

namespace inspect {

namespace {

// Sends one text query with the budget's next timeout and charges the time
// it took. False, without sending, when the budget is already spent.
template <typename Query>
bool WithinBudget(TWindowQueries& queries, TTextWaitBudget& budget, Query query)
{
    if (budget.Spent()) return false;
    const std::uint64_t started = queries.Milliseconds();
    query(budget.NextTimeoutMs());
    budget.Charge(queries.Milliseconds() - started);
    return true;
}

void AppendWindowBlock(const TCaptureContext& context, std::uintptr_t window, TTextWaitBudget& budget)
{
    TReportArea& area = context.ReportArea;
    area.AppendLine(std::wstring(kSeparatorLine));
    area.AppendLine(TextLine(GetWindowTextOf(context.Queries, window, budget)));
    area.AppendLine(ClassLine(context.Queries.ClassName(window)));
    area.AppendLine(RectangleLine(context.Queries.Rect(window)));
    area.AppendLine(HandleLine(window));
}

}  // namespace

unsigned TTextWaitBudget::NextTimeoutMs() const { return std::min(kTextAnswerTimeoutMs, m_remainingMs); }

void TTextWaitBudget::Charge(std::uint64_t waitedMs)
{
    m_remainingMs = waitedMs >= m_remainingMs ? 0 : m_remainingMs - static_cast<unsigned>(waitedMs);
}

std::wstring GetWindowTextOf(TWindowQueries& queries, std::uintptr_t window, TTextWaitBudget& budget)
{
    std::intptr_t announced = 0;
    WithinBudget(queries, budget, [&](unsigned timeoutMs) { announced = queries.TextLength(window, timeoutMs); });
    if (announced <= 0) return {};
    const std::size_t length = static_cast<std::size_t>(std::min(announced, kMaxWindowTextLength));
    std::vector<wchar_t> buffer(length + 1, L'\0');
    WithinBudget(queries, budget,
                 [&](unsigned timeoutMs) { queries.CopyText(window, buffer.data(), buffer.size(), timeoutMs); });
    // At most the announced length, even from a window that filled the
    // whole buffer without a NUL.
    return desktop::TextUpToNul(buffer.data(), length);
}

std::wstring GetWindowTextOf(TWindowQueries& queries, std::uintptr_t window)
{
    TTextWaitBudget budget;
    return GetWindowTextOf(queries, window, budget);
}

std::wstring FoldAsciiCase(std::wstring path)
{
    for (wchar_t& c : path)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + (L'a' - L'A'));
    return path;
}

bool IsOwnProgramPath(const std::wstring& programPath, const std::wstring& ownExecutablePath)
{
    return !programPath.empty() && FoldAsciiCase(programPath) == FoldAsciiCase(ownExecutablePath);
}

std::uintptr_t TopOfChain(TWindowQueries& queries, std::uintptr_t window)
{
    std::uintptr_t top = window;
    for (std::uintptr_t parent = queries.Parent(top); parent != 0; parent = queries.Parent(top)) top = parent;
    return top;
}

bool IsOwnWindowChain(const TCaptureContext& context, std::uintptr_t window)
{
    const std::uintptr_t top = TopOfChain(context.Queries, window);
    return (context.MainWindow != 0 && top == context.MainWindow) ||
           (context.ApplicationWindow != 0 && top == context.ApplicationWindow);
}

void ShowWindowInfo(const TCaptureContext& context, std::uintptr_t& mHandle)
{
    TWindowQueries& queries = context.Queries;
    const std::wstring programPath = queries.ProgramPath(mHandle);
    if (IsOwnProgramPath(programPath, context.OwnExecutablePath)) return;
    if (!programPath.empty() && context.IconStep) context.IconStep(programPath);

    context.ReportArea.Clear();
    TTextWaitBudget budget;
    AppendWindowBlock(context, mHandle, budget);
    for (std::uintptr_t parent = queries.Parent(mHandle); parent != 0; parent = queries.Parent(mHandle)) {
        AppendWindowBlock(context, parent, budget);
        mHandle = parent;
    }
    context.ReportArea.AppendLine(std::wstring(kSeparatorLine));
    context.ReportArea.AppendLine(ProgramLine(queries.ProgramPath(mHandle)));
}

void WMCaptureWindow(const TCaptureContext& context, std::uintptr_t& mHandle, LPARAM lParam)
{
    const auto captured = static_cast<std::uintptr_t>(lParam);
    if (IsOwnWindowChain(context, captured)) return;
    mHandle = captured;
    ShowWindowInfo(context, mHandle);
}

}  // namespace inspect
