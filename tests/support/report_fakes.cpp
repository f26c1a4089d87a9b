#include "support/report_fakes.h"

#include <algorithm>

namespace testsupport {

TFakeWindowTree::TFakeWindowTree(std::vector<TFakeWindow> windows, std::vector<std::wstring>* log) : m_log(log)
{
    for (TFakeWindow& window : windows) m_windows[window.Handle] = std::move(window);
}

const TFakeWindow* TFakeWindowTree::Find(std::uintptr_t window) const
{
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : &found->second;
}

void TFakeWindowTree::Log(const std::wstring& entry)
{
    if (m_log) m_log->push_back(entry);
}

std::uintptr_t TFakeWindowTree::Parent(std::uintptr_t window)
{
    const TFakeWindow* found = Find(window);
    return found ? found->Parent : 0;
}

std::intptr_t TFakeWindowTree::TextLength(std::uintptr_t window, unsigned timeoutMs)
{
    ++TextQueries;
    Log(L"text length " + std::to_wstring(window));
    const TFakeWindow* found = Find(window);
    if (!found) return 0;
    if (found->Hung) {
        Clock += timeoutMs;
        return 0;
    }
    return found->AnnouncedLength.value_or(static_cast<std::intptr_t>(found->Text.size()));
}

void TFakeWindowTree::CopyText(std::uintptr_t window, wchar_t* buffer, std::size_t size, unsigned timeoutMs)
{
    ++TextQueries;
    LargestTextBuffer = std::max(LargestTextBuffer, size);
    Log(L"text " + std::to_wstring(window));
    const TFakeWindow* found = Find(window);
    if (!found || size == 0) return;
    if (found->Hung) {
        Clock += timeoutMs;
        return;
    }
    if (found->OverfillsBuffer) {
        std::fill(buffer, buffer + size, L'x');
        return;
    }
    const std::size_t copied = std::min(size - 1, found->Text.size());
    std::copy_n(found->Text.data(), copied, buffer);
    buffer[copied] = L'\0';
}

std::wstring TFakeWindowTree::ClassName(std::uintptr_t window)
{
    const TFakeWindow* found = Find(window);
    return found ? found->ClassName : std::wstring();
}

inspect::TWindowRect TFakeWindowTree::Rect(std::uintptr_t window)
{
    const TFakeWindow* found = Find(window);
    return found ? found->Rect : inspect::TWindowRect{};
}

std::wstring TFakeWindowTree::ProgramPath(std::uintptr_t window)
{
    Log(L"program path " + std::to_wstring(window));
    const TFakeWindow* found = Find(window);
    return found ? found->ProgramPath : std::wstring();
}

void TRecordingReportArea::Clear()
{
    ++Clears;
    Lines.clear();
    if (m_log) m_log->push_back(L"clear");
}

void TRecordingReportArea::AppendLine(const std::wstring& line)
{
    Lines.push_back(line);
    if (m_log) m_log->push_back(L"line " + line);
}

}  // namespace testsupport
