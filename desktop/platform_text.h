// Text from zero-filled platform buffers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace desktop {

// The buffer's text up to its first NUL (all of it when there is none).
inline std::wstring TextUpToNul(const wchar_t* buffer, std::size_t capacity)
{
    return std::wstring(buffer, std::find(buffer, buffer + capacity, L'\0'));
}

}  // namespace desktop
