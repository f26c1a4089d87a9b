#include "inspect/own_executable_path.h"

#include <windows.h>

#include "desktop/program_path.h"

namespace inspect {

std::wstring GetOwnExecutablePath()
{
    desktop::TPathBuffer path{};
    // Result not checked: a failed call leaves the path empty.
    ::GetModuleFileNameW(nullptr, path.data(), desktop::kPathCharsOffered);
    return desktop::TextUpToNul(path.data(), path.size());
}

}  // namespace inspect
