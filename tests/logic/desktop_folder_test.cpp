// GetDesktopFolderPath over a fake shell: its failure messages, and that the
// item list and the allocator are freed on every path, in that order.
#include "desktop/desktop_folder.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <regex>
#include <string>
#include <vector>

#include "desktop/app_error.h"
#include "desktop/ole_error.h"

namespace {

class FakeAllocator final : public IMalloc {
public:
    std::vector<std::string>* log;
    explicit FakeAllocator(std::vector<std::string>* events) : log(events) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        log->push_back("release allocator");
        return 1;
    }
    void* STDMETHODCALLTYPE Alloc(SIZE_T) override { return nullptr; }
    void* STDMETHODCALLTYPE Realloc(void*, SIZE_T) override { return nullptr; }
    void STDMETHODCALLTYPE Free(void* block) override
    {
        log->push_back(block ? "free list" : "free null");
    }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return 0; }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}
};

class FakeShell final : public desktop::TShellFolderApi {
public:
    std::vector<std::string> log;
    FakeAllocator allocator{&log};
    SHITEMID itemList[2] = {};
    HRESULT allocatorResult = S_OK;
    HRESULT listResult = S_OK;
    bool pathFound = true;
    std::wstring path = L"C:\\Users\\someone\\Desktop";

    HRESULT GetTaskAllocator(IMalloc** out) override
    {
        log.push_back("get allocator");
        *out = SUCCEEDED(allocatorResult) ? &allocator : nullptr;
        return allocatorResult;
    }
    HRESULT GetDesktopItemList(LPITEMIDLIST* out) override
    {
        log.push_back("get list");
        *out = SUCCEEDED(listResult) ? reinterpret_cast<LPITEMIDLIST>(itemList) : nullptr;
        return listResult;
    }
    BOOL GetPathFromItemList(LPCITEMIDLIST list, wchar_t* buffer) override
    {
        EXPECT_EQ(list, reinterpret_cast<LPCITEMIDLIST>(itemList));
        log.push_back("get path");
        if (!pathFound) return FALSE;
        std::wmemcpy(buffer, path.c_str(), path.size() + 1);
        return TRUE;
    }
};

using Log = std::vector<std::string>;

TEST(DesktopFolderPath, IsTheShellsPathAndFreesListThenAllocator)
{
    FakeShell shell;
    EXPECT_EQ(desktop::GetDesktopFolderPath(shell), L"C:\\Users\\someone\\Desktop");
    EXPECT_EQ(shell.log, (Log{"get allocator", "get list", "get path", "free list", "release allocator"}));
}

TEST(DesktopFolderPath, FailuresRaiseTheirMessageAndFreeWhatWasTaken)
{
    const HRESULT noText = static_cast<HRESULT>(0x8FFFABCD);
    struct Case {
        const char* label;
        HRESULT allocatorResult, listResult;
        bool pathFound;
        Log log;
    };
    const Case cases[] = {
        {"no allocator", noText, S_OK, true, {"get allocator"}},
        {"no item list", S_OK, noText, true, {"get allocator", "get list", "release allocator"}},
        {"no path", S_OK, S_OK, false, {"get allocator", "get list", "get path", "free list", "release allocator"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeShell shell;
        shell.allocatorResult = c.allocatorResult;
        shell.listResult = c.listResult;
        shell.pathFound = c.pathFound;
        std::wstring message;
        try {
            desktop::GetDesktopFolderPath(shell);
        } catch (const desktop::EAppError& e) {
            message = e.Message();
        }
        if (c.pathFound)
            EXPECT_EQ(message, L"OLE エラー 8FFFABCD");
        else
            EXPECT_TRUE(std::regex_match(message, std::wregex(LR"(アサートの失敗 \(desktop_folder\.cpp, \d+ 行\))")));
        EXPECT_EQ(shell.log, c.log);
    }
}

TEST(DesktopFolderPath, PathIsTakenUpToItsFirstNul)
{
    FakeShell shell;
    shell.path = std::wstring(L"C:\\D\0junk", 9);
    EXPECT_EQ(desktop::GetDesktopFolderPath(shell), L"C:\\D");
}

TEST(OleErrorMessage, PlatformTextOrEightUpperCaseHexDigits)
{
    struct Case {
        HRESULT result;
        const wchar_t* systemText;
        const wchar_t* message;
    } cases[] = {
        {static_cast<HRESULT>(0x8FFFABCD), L"", L"OLE エラー 8FFFABCD"},
        {static_cast<HRESULT>(0x800a00ff), L"", L"OLE エラー 800A00FF"},
        {0x00000012, L"", L"OLE エラー 00000012"},
        {E_OUTOFMEMORY, L"メモリが足りません", L"メモリが足りません"},
    };
    for (const Case& c : cases) EXPECT_EQ(desktop::OleErrorMessage(c.result, c.systemText), c.message);
}

TEST(OleErrorMessage, UsesThePlatformsTextWhereItHasOne)
{
    const std::wstring text = desktop::SystemErrorText(static_cast<unsigned long>(E_OUTOFMEMORY));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(desktop::OleErrorMessage(E_OUTOFMEMORY), text);
    EXPECT_EQ(desktop::OleErrorMessage(static_cast<HRESULT>(0x8FFFABCD)), L"OLE エラー 8FFFABCD");
}

TEST(AssertionMessage, NamesTheSourceFileWithoutItsFolders)
{
    struct Case {
        const char* file;
        int line;
        const wchar_t* message;
    } cases[] = {
        {"/src/quillow/desktop/desktop_folder.cpp", 57, L"アサートの失敗 (desktop_folder.cpp, 57 行)"},
        {"C:\\src\\desktop\\desktop_folder.cpp", 8, L"アサートの失敗 (desktop_folder.cpp, 8 行)"},
        {"desktop_folder.cpp", 1, L"アサートの失敗 (desktop_folder.cpp, 1 行)"},
    };
    for (const Case& c : cases) EXPECT_EQ(desktop::AssertionMessage(L"アサートの失敗", c.file, c.line), c.message);
}

}  // namespace
