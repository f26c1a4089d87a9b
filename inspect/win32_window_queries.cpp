#include "inspect/win32_window_queries.h"

#include <array>
#include <chrono>

#include "desktop/program_path.h"

namespace inspect {

namespace {

constexpr UINT kTextQueryFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
constexpr int kClassNameChars = 260;

}  // namespace

std::uintptr_t TWin32WindowQueries::Parent(std::uintptr_t window)
{
    return AsHandleValue(::GetParent(AsWindow(window)));
}

std::intptr_t TWin32WindowQueries::TextLength(std::uintptr_t window, unsigned timeoutMs)
{
    DWORD_PTR length = 0;
    if (::SendMessageTimeoutW(AsWindow(window), WM_GETTEXTLENGTH, 0, 0, kTextQueryFlags, timeoutMs, &length) == 0)
        return 0;
    return static_cast<std::intptr_t>(length);
}

void TWin32WindowQueries::CopyText(std::uintptr_t window, wchar_t* buffer, std::size_t size, unsigned timeoutMs)
{
    DWORD_PTR copied = 0;
    // Result not checked: the count the window gives is not used, and a
    // window that did not answer leaves the zero-filled buffer empty.
    ::SendMessageTimeoutW(AsWindow(window), WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer),
                          kTextQueryFlags, timeoutMs, &copied);
}

std::wstring TWin32WindowQueries::ClassName(std::uintptr_t window)
{
    std::array<wchar_t, kClassNameChars> name{};
    // Result not checked: a failed query leaves the name empty.
    ::GetClassNameW(AsWindow(window), name.data(), kClassNameChars);
    return desktop::TextUpToNul(name.data(), name.size());
}

TWindowRect TWin32WindowQueries::Rect(std::uintptr_t window)
{
    RECT rect{};
    // Result not checked: a failed query leaves the rectangle 0, 0, 0, 0.
    ::GetWindowRect(AsWindow(window), &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::wstring TWin32WindowQueries::ProgramPath(std::uintptr_t window)
{
    return desktop::GetWindowProgramPath(AsWindow(window));
}

std::uint64_t TWin32WindowQueries::Milliseconds()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace inspect
