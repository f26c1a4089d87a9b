#include "desktop/data_folder.h"

#include <windows.h>

#include "desktop/handles.h"
#include "desktop/shell_folders.h"

namespace desktop {

std::wstring UserDataDir;
std::wstring CommonDataDir;

namespace {

constexpr wchar_t kMakerFolder[] = L"\\Morvanta";

class TRealFolderSystem : public TFolderSystem {
public:
    std::wstring SpecialFolderPath(bool common) override
    {
        return GetSpecialFolderPath(common ? TSpecialFolder::sfCommonAppData : TSpecialFolder::sfAppData);
    }
    bool DirectoryExists(const std::wstring& path) override { return IsExistingDirectory(path); }
    void MakeDirectory(const std::wstring& path) override
    {
        // Result not checked: only the final directory test decides.
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
};

}  // namespace

TFolderSystem& RealFolderSystem()
{
    static TRealFolderSystem folders;
    return folders;
}

bool IsExistingDirectory(const std::wstring& path)
{
    static_assert(INVALID_FILE_ATTRIBUTES == 0xFFFFFFFFul && FILE_ATTRIBUTE_DIRECTORY == 0x10 &&
                  FILE_ATTRIBUTE_REPARSE_POINT == 0x400);
    return CountsAsDirectory(::GetFileAttributesW(path.c_str()), [&] {
        // A link counts only when its target exists.
        FileHandle link(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return static_cast<bool>(link);
    });
}

bool ForceDataFolder(const std::wstring& name, bool common, TFolderSystem& folders)
{
    const std::wstring base = folders.SpecialFolderPath(common) + kMakerFolder;
    if (!folders.DirectoryExists(base)) folders.MakeDirectory(base);
    const std::wstring path = base + L"\\" + name;
    if (!folders.DirectoryExists(path)) folders.MakeDirectory(path);
    std::wstring& stored = common ? CommonDataDir : UserDataDir;
    stored = path + L"\\";
    return folders.DirectoryExists(stored);
}

bool ForceDataFolder(const std::wstring& name, bool common)
{
    return ForceDataFolder(name, common, RealFolderSystem());
}

}  // namespace desktop
