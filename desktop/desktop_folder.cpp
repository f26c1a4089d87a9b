#include "desktop/desktop_folder.h"

#include "desktop/app_error.h"
#include "desktop/handles.h"
#include "desktop/ole_error.h"

namespace desktop {

namespace {

class Win32Shell final : public TShellFolderApi {
public:
    HRESULT GetTaskAllocator(IMalloc** allocator) override { return ::CoGetMalloc(MEMCTX_TASK, allocator); }
    HRESULT GetDesktopItemList(LPITEMIDLIST* itemList) override
    {
        return ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, itemList);
    }
    BOOL GetPathFromItemList(LPCITEMIDLIST itemList, wchar_t* buffer) override
    {
        return ::SHGetPathFromIDListW(itemList, buffer);
    }
};

// Frees an item list through the allocator that made it.
class ItemListOwner {
public:
    explicit ItemListOwner(IMalloc* allocator) : m_allocator(allocator) {}
    ~ItemListOwner()
    {
        if (m_list) m_allocator->Free(m_list);
    }
    ItemListOwner(const ItemListOwner&) = delete;
    ItemListOwner& operator=(const ItemListOwner&) = delete;
    LPITEMIDLIST* put() { return &m_list; }
    LPITEMIDLIST get() const { return m_list; }

private:
    IMalloc* m_allocator;
    LPITEMIDLIST m_list = nullptr;
};

}  // namespace

TShellFolderApi& Win32ShellFolderApi()
{
    static Win32Shell api;
    return api;
}

std::wstring GetDesktopFolderPath() { return GetDesktopFolderPath(Win32ShellFolderApi()); }

std::wstring GetDesktopFolderPath(TShellFolderApi& api)
{
    ComPointer<IMalloc> allocator;
    HRESULT result = api.GetTaskAllocator(allocator.put());
    if (FAILED(result)) throw EAppError(OleErrorMessage(result));

    ItemListOwner itemList(allocator.get());
    result = api.GetDesktopItemList(itemList.put());
    if (FAILED(result)) throw EAppError(OleErrorMessage(result));

    wchar_t buffer[kPathBufferLength] = {};
    if (!api.GetPathFromItemList(itemList.get(), buffer))
        throw EAppError(AssertionMessage(kAssertionFailedMessage, __FILE__, __LINE__));
    buffer[kPathBufferLength - 1] = L'\0';
    return buffer;
}

}  // namespace desktop
