#include "desktop/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

#include "desktop/platform_text.h"

namespace desktop {

namespace {

struct FolderCsidl {
    TSpecialFolder folder;
    int csidl;
};

constexpr std::array<FolderCsidl, 6> kFolderCsidls{{
    {TSpecialFolder::sfPersonal, CSIDL_PERSONAL},
    {TSpecialFolder::sfAppData, CSIDL_APPDATA},
    {TSpecialFolder::sfLocalAppData, CSIDL_LOCAL_APPDATA},
    {TSpecialFolder::sfCommonAppData, CSIDL_COMMON_APPDATA},
    {TSpecialFolder::sfMyPictures, CSIDL_MYPICTURES},
    {TSpecialFolder::sfCommonDocuments, CSIDL_COMMON_DOCUMENTS},
}};

}  // namespace

int SpecialFolderCsidl(TSpecialFolder folder)
{
    for (const auto& entry : kFolderCsidls)
        if (entry.folder == folder) return entry.csidl;
    return -1;
}

std::wstring GetSpecialFolderPath(TSpecialFolder folder)
{
    std::array<wchar_t, MAX_PATH> buffer{};
    // Result not checked: a failure leaves the buffer empty, which is the answer.
    ::SHGetFolderPathW(nullptr, SpecialFolderCsidl(folder), nullptr, SHGFP_TYPE_CURRENT, buffer.data());
    return TextUpToNul(buffer.data(), buffer.size());
}

}  // namespace desktop
