// The per-user and all-users data folders: "<special folder>\Morvanta\<program>\".
#pragma once

#include <string>

namespace desktop {

// Set only by ForceDataFolder; each ends with one backslash once set.
extern std::wstring UserDataDir;
extern std::wstring CommonDataDir;

// The file-system operations the data folder needs, so tests can feed a
// fake folder tree.
class TFolderSystem {
public:
    virtual ~TFolderSystem() = default;
    virtual std::wstring SpecialFolderPath(bool common) = 0;
    // True when the path is an existing directory; links are followed.
    virtual bool DirectoryExists(const std::wstring& path) = 0;
    virtual void MakeDirectory(const std::wstring& path) = 0;
};

// The real file system.
TFolderSystem& RealFolderSystem();

// Makes sure "<base>\Morvanta\<name>" exists (parent first, each only when
// missing), stores it with a trailing backslash in UserDataDir (or
// CommonDataDir when common) and tells whether it now exists.
bool ForceDataFolder(const std::wstring& name, bool common);
bool ForceDataFolder(const std::wstring& name, bool common, TFolderSystem& folders);

// The directory test on the real file system: a directory, and for a
// symbolic link or junction, one whose target can be opened.
bool IsExistingDirectory(const std::wstring& path);

// The rule behind it, on a path's attributes (INVALID_FILE_ATTRIBUTES when
// it does not exist); targetOpens is asked only for a link.
template <typename TargetOpens>
bool CountsAsDirectory(unsigned long attributes, TargetOpens targetOpens)
{
    constexpr unsigned long kInvalid = 0xFFFFFFFFul, kDirectory = 0x10ul, kReparsePoint = 0x400ul;
    if (attributes == kInvalid || !(attributes & kDirectory)) return false;
    return !(attributes & kReparsePoint) || targetOpens();
}

}  // namespace desktop
