// Fakes for the window report: a window tree answering the report's queries
// and a report area, both writing into one log of effects so tests can see
// the order in which the report queries, clears and writes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "inspect/window_queries.h"
#include "inspect/window_report.h"

namespace testsupport {

struct TFakeWindow {
    std::uintptr_t Handle = 0;
    std::uintptr_t Parent = 0;
    std::wstring Text{};
    std::wstring ClassName{};
    inspect::TWindowRect Rect{};
    std::wstring ProgramPath{};
    // What WM_GETTEXTLENGTH answers; when absent, the length of Text.
    std::optional<std::intptr_t> AnnouncedLength{};
    // The window's thread does not answer: each text query waits its whole
    // timeout and gets nothing.
    bool Hung = false;
    // Fills the whole buffer it is offered with 'x', without a NUL.
    bool OverfillsBuffer = false;
};

class TFakeWindowTree final : public inspect::TWindowQueries {
public:
    explicit TFakeWindowTree(std::vector<TFakeWindow> windows, std::vector<std::wstring>* log = nullptr);

    std::uintptr_t Parent(std::uintptr_t window) override;
    std::intptr_t TextLength(std::uintptr_t window, unsigned timeoutMs) override;
    void CopyText(std::uintptr_t window, wchar_t* buffer, std::size_t size, unsigned timeoutMs) override;
    std::wstring ClassName(std::uintptr_t window) override;
    inspect::TWindowRect Rect(std::uintptr_t window) override;
    std::wstring ProgramPath(std::uintptr_t window) override;
    std::uint64_t Milliseconds() override { return Clock; }

    // Fake time: advanced only by the waits on hung windows.
    std::uint64_t Clock = 0;
    // Text queries sent, and the largest buffer offered with WM_GETTEXT.
    int TextQueries = 0;
    std::size_t LargestTextBuffer = 0;

private:
    const TFakeWindow* Find(std::uintptr_t window) const;
    void Log(const std::wstring& entry);

    std::map<std::uintptr_t, TFakeWindow> m_windows;
    std::vector<std::wstring>* m_log;
};

class TRecordingReportArea final : public inspect::TReportArea {
public:
    explicit TRecordingReportArea(std::vector<std::wstring>* log = nullptr) : m_log(log) {}
    void Clear() override;
    void AppendLine(const std::wstring& line) override;

    std::vector<std::wstring> Lines;
    int Clears = 0;

private:
    std::vector<std::wstring>* m_log;
};

}  // namespace testsupport
