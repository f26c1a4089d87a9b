// The platform operations the window report relies on, behind one narrow
// interface so the report logic can be driven by a fake window tree.
// Windows are named by their handle value (pointer width). No query fails
// loudly: a failed query gives 0, an empty text or an all-zero rectangle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace inspect {

// A window's outer rectangle in screen coordinates (physical pixels).
struct TWindowRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TWindowRect&, const TWindowRect&) = default;
};

class TWindowQueries {
public:
    virtual ~TWindowQueries() = default;

    // GetParent: the parent of a child, the owner of an owned pop-up, 0 for
    // any other top-level window and for a handle that names no window.
    virtual std::uintptr_t Parent(std::uintptr_t window) = 0;
    // WM_GETTEXTLENGTH, waiting at most `timeoutMs` for the window's thread;
    // 0 when it did not answer in time.
    virtual std::intptr_t TextLength(std::uintptr_t window, unsigned timeoutMs) = 0;
    // WM_GETTEXT with `size` code units of `buffer` offered, waiting at most
    // `timeoutMs`; a window that did not answer leaves the buffer as it was.
    virtual void CopyText(std::uintptr_t window, wchar_t* buffer, std::size_t size, unsigned timeoutMs) = 0;
    // GetClassNameW into a 260-character buffer; empty on failure.
    virtual std::wstring ClassName(std::uintptr_t window) = 0;
    // GetWindowRect; all zero on failure.
    virtual TWindowRect Rect(std::uintptr_t window) = 0;
    // The program path of the window (desktop::GetWindowProgramPath).
    virtual std::wstring ProgramPath(std::uintptr_t window) = 0;
    // A monotonic clock in milliseconds, to charge the waits of the text
    // queries against the report's budget.
    virtual std::uint64_t Milliseconds() = 0;
};

}  // namespace inspect
