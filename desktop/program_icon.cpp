#include "desktop/program_icon.h"

#include <shellapi.h>

#include <cstdint>

namespace desktop {

namespace {
constexpr std::uintptr_t kNotAnIconFile = 1;
}

HICON ExtractProgramIcon(const std::wstring& path, UINT index)
{
    return ::ExtractIconW(::GetModuleHandleW(nullptr), path.c_str(), index);
}

bool IsNotAnIconFileAnswer(HICON icon) { return reinterpret_cast<std::uintptr_t>(icon) == kNotAnIconFile; }

}  // namespace desktop
