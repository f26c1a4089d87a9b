// The window report's queries on real windows.
#pragma once

#include <windows.h>

#include "inspect/window_queries.h"

namespace inspect {

// Text queries go out with SendMessageTimeoutW (SMTO_NORMAL, so sent
// messages and hook calls still reach this thread while it waits, as with
// SendMessageW, and SMTO_ABORTIFHUNG, so a window the system already knows
// as hung costs no wait at all).
class TWin32WindowQueries final : public TWindowQueries {
public:
    std::uintptr_t Parent(std::uintptr_t window) override;
    std::intptr_t TextLength(std::uintptr_t window, unsigned timeoutMs) override;
    void CopyText(std::uintptr_t window, wchar_t* buffer, std::size_t size, unsigned timeoutMs) override;
    std::wstring ClassName(std::uintptr_t window) override;
    TWindowRect Rect(std::uintptr_t window) override;
    std::wstring ProgramPath(std::uintptr_t window) override;
    std::uint64_t Milliseconds() override;
};

inline HWND AsWindow(std::uintptr_t handle) { return reinterpret_cast<HWND>(handle); }
inline std::uintptr_t AsHandleValue(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

}  // namespace inspect
