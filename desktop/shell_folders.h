// The special folders the helper module knows, and their paths.
#pragma once

#include <cstdint>
#include <string>

namespace desktop {

enum class TSpecialFolder : std::uint8_t {
    sfPersonal,
    sfAppData,
    sfLocalAppData,
    sfCommonAppData,
    sfMyPictures,
    sfCommonDocuments,
};

// The shell's CSIDL constant for a folder.
int SpecialFolderCsidl(TSpecialFolder folder);

// The folder's current path as the shell reports it, without a trailing
// backslash; empty when the shell reports none. Never fails.
std::wstring GetSpecialFolderPath(TSpecialFolder folder);

}  // namespace desktop
