// The file-system path of the current user's desktop folder.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

namespace desktop {

// The shell calls GetDesktopFolderPath makes, so a fake can drive it.
class TShellFolderApi {
public:
    virtual ~TShellFolderApi() = default;
    // CoGetMalloc(MEMCTX_TASK): the task allocator, which frees item lists.
    virtual HRESULT GetTaskAllocator(IMalloc** allocator) = 0;
    // SHGetSpecialFolderLocation(no owner, CSIDL_DESKTOPDIRECTORY).
    virtual HRESULT GetDesktopItemList(LPITEMIDLIST* itemList) = 0;
    // SHGetPathFromIDListW into a buffer of kPathBufferLength characters.
    virtual BOOL GetPathFromItemList(LPCITEMIDLIST itemList, wchar_t* buffer) = 0;
};

inline constexpr int kPathBufferLength = MAX_PATH + 1;
inline constexpr wchar_t kAssertionFailedMessage[] = L"アサートの失敗";

TShellFolderApi& Win32ShellFolderApi();

// The desktop folder (CSIDL_DESKTOPDIRECTORY) as the platform gives it.
// Raises EAppError with the OLE error text when the allocator or the item
// list cannot be had, and the assertion text when the list has no path. The
// item list and the allocator are freed on every path.
std::wstring GetDesktopFolderPath();
std::wstring GetDesktopFolderPath(TShellFolderApi& api);

}  // namespace desktop
