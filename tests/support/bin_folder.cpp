#include "support/bin_folder.h"

#include <windows.h>

#include <array>

namespace testsupport {

std::wstring BinFolder()
{
    std::array<wchar_t, 32768> path{};
    ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size() - 1));
    std::wstring folder(path.data());
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

}  // namespace testsupport
