// The shell save dialog's settings and answers, over a fake dialog.
#include "inspect/save_icon_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class FakeItem final : public IShellItem {
public:
    std::wstring path;
    HRESULT nameResult = S_OK;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(IShellItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayName(SIGDN kind, LPWSTR* name) override
    {
        EXPECT_EQ(kind, SIGDN_FILESYSPATH);
        if (FAILED(nameResult)) return nameResult;
        *name = static_cast<LPWSTR>(::CoTaskMemAlloc((path.size() + 1) * sizeof(wchar_t)));
        std::copy(path.c_str(), path.c_str() + path.size() + 1, *name);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttributes(SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Compare(IShellItem*, SICHINTF, int*) override { return E_NOTIMPL; }
};

class FakeSaveDialog final : public IFileSaveDialog {
public:
    std::vector<std::string> calls;
    std::vector<std::wstring> fileTypes;
    UINT fileTypeIndex = 0;
    FILEOPENDIALOGOPTIONS options = 0;
    std::wstring defaultExtension, fileName = L"left from before";
    std::wstring folder;  // the path of the item SetFolder got
    HWND shownOwner = nullptr;
    HRESULT showResult = S_OK;
    FakeItem result;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Show(HWND owner) override
    {
        calls.push_back("Show");
        shownOwner = owner;
        return showResult;
    }
    HRESULT STDMETHODCALLTYPE SetFileTypes(UINT count, const COMDLG_FILTERSPEC* types) override
    {
        calls.push_back("SetFileTypes");
        for (UINT i = 0; i < count; ++i) {
            fileTypes.push_back(types[i].pszName);
            fileTypes.push_back(types[i].pszSpec);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT index) override
    {
        calls.push_back("SetFileTypeIndex");
        fileTypeIndex = index;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS value) override
    {
        calls.push_back("SetOptions");
        options = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem*) override
    {
        calls.push_back("SetDefaultFolder");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFolder(IShellItem* item) override
    {
        calls.push_back("SetFolder");
        LPWSTR path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) folder = path;
        ::CoTaskMemFree(path);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFolder(IShellItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR name) override
    {
        calls.push_back("SetFileName");
        fileName = name;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR) override
    {
        calls.push_back("SetTitle");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetResult(IShellItem** item) override
    {
        calls.push_back("GetResult");
        *item = &result;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddPlace(IShellItem*, FDAP) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR extension) override
    {
        calls.push_back("SetDefaultExtension");
        defaultExtension = extension;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close(HRESULT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ClearClientData() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSaveAsItem(IShellItem*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProperties(IPropertyStore*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCollectedProperties(IPropertyDescriptionList*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProperties(IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ApplyProperties(IShellItem*, IPropertyStore*, HWND, IFileOperationProgressSink*) override
    {
        return E_NOTIMPL;
    }
};

const HWND kOwner = reinterpret_cast<HWND>(0x1234);

std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = temp;
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

TEST(ShellSaveIconDialog, GetsTheIconFileSettingsBeforeItIsShown)
{
    FakeSaveDialog dialog;
    dialog.result.path = L"C:\\chosen\\name.ico";
    const std::wstring folder = TempFolder();
    auto path = inspect::RunShellSaveIconDialog(dialog, kOwner, folder);

    ASSERT_TRUE(path);
    EXPECT_EQ(*path, L"C:\\chosen\\name.ico");
    EXPECT_EQ(dialog.shownOwner, kOwner);
    EXPECT_EQ(dialog.folder, folder) << "opened in the given folder";
    EXPECT_EQ(std::count(dialog.calls.begin(), dialog.calls.end(), "SetDefaultFolder"), 0)
        << "the folder is the current one, not a fallback";
    EXPECT_EQ(dialog.fileTypes, (std::vector<std::wstring>{L"アイコン(*.ico)", L"*.ico"}));
    EXPECT_EQ(dialog.fileTypeIndex, 1u);
    EXPECT_EQ(dialog.defaultExtension, L"ico");
    EXPECT_EQ(dialog.options, static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT)) << "its only option";
    EXPECT_EQ(dialog.fileName, L"");
    EXPECT_EQ(std::count(dialog.calls.begin(), dialog.calls.end(), "SetTitle"), 0) << "the platform's own title";
    auto show = std::find(dialog.calls.begin(), dialog.calls.end(), "Show");
    ASSERT_NE(show, dialog.calls.end());
    EXPECT_EQ(std::vector<std::string>(show, dialog.calls.end()), (std::vector<std::string>{"Show", "GetResult"}))
        << "every setting is made before the dialog shows";
}

TEST(ShellSaveIconDialog, CancelOrAnUnreadableChoiceAnswersNothing)
{
    struct Case {
        const char* label;
        HRESULT show, name;
    } cases[] = {
        {"cancelled", HRESULT_FROM_WIN32(ERROR_CANCELLED), S_OK},
        {"the dialog failed", E_FAIL, S_OK},
        {"the choice is no file-system path", S_OK, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        FakeSaveDialog dialog;
        dialog.showResult = c.show;
        dialog.result.nameResult = c.name;
        dialog.result.path = L"C:\\x.ico";
        EXPECT_FALSE(inspect::RunShellSaveIconDialog(dialog, kOwner, TempFolder())) << c.label;
    }
}

}  // namespace
