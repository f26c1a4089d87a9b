#include "desktop/app_error.h"

#include <windows.h>

#include "desktop/handles.h"

namespace desktop {

std::wstring SystemErrorText(unsigned long code)
{
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
            FORMAT_MESSAGE_ARGUMENT_ARRAY,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    LocalMemory owner(buffer);
    std::wstring text = length != 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

}  // namespace desktop
