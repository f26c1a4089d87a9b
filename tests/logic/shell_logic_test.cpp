// Plain rules of the application shell: select-all key, edge snapping,
// error box text, data folder creation.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/edge_snap.h"
#include "app/error_box.h"
#include "app/select_all_key.h"
#include "desktop/app_error.h"
#include "desktop/data_folder.h"

namespace {

app::TKeyboardState KeysDown(std::initializer_list<int> keys)
{
    app::TKeyboardState state{};
    for (int key : keys) state[key] = 0x80;
    return state;
}

TEST(SelectAllKey, OnlyCtrlWithCtrlACharacter)
{
    struct Case {
        const char* label;
        std::initializer_list<int> down;
        wchar_t character;
        bool selectsAll;
    };
    const Case cases[] = {
        {"Ctrl+A", {VK_CONTROL}, 0x0001, true},
        {"right Ctrl sets VK_CONTROL too", {VK_CONTROL, VK_RCONTROL}, 0x0001, true},
        {"Caps Lock is no modifier", {VK_CONTROL, VK_CAPITAL}, 0x0001, true},
        {"Windows key is no modifier", {VK_CONTROL, VK_LWIN}, 0x0001, true},
        {"Ctrl+Shift+A", {VK_CONTROL, VK_SHIFT}, 0x0001, false},
        {"Ctrl+Alt+A (and AltGr)", {VK_CONTROL, VK_MENU}, 0x0001, false},
        {"left mouse button held", {VK_CONTROL, VK_LBUTTON}, 0x0001, false},
        {"right mouse button held", {VK_CONTROL, VK_RBUTTON}, 0x0001, false},
        {"middle mouse button held", {VK_CONTROL, VK_MBUTTON}, 0x0001, false},
        {"no Ctrl", {}, 0x0001, false},
        {"another character", {VK_CONTROL}, L'a', false},
        {"Ctrl+B", {VK_CONTROL}, 0x0002, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::IsSelectAllKey(KeysDown(c.down), c.character), c.selectsAll) << c.label;
    }
}

TEST(EdgeSnap, EdgesWithinTenPixelsSnapRightAndBottomWin)
{
    const app::TSnapArea area{0, 0, 1920, 1040};
    struct Case {
        const char* label;
        int x, y, w, h;
        int expectedX, expectedY;
    };
    const Case cases[] = {
        {"left edge 9 away", 9, 300, 800, 600, 0, 300},
        {"left edge 10 away stays", 10, 300, 800, 600, 10, 300},
        {"top edge just above", 500, -9, 800, 600, 500, 0},
        {"right edge 5 away", 1115, 300, 800, 600, 1120, 300},
        {"bottom edge 3 past", 500, 443, 800, 600, 500, 440},
        {"move to (0, 0) not snapped", 0, 0, 800, 600, 0, 0},
        {"(0, 5) snaps top", 0, 5, 800, 600, 0, 0},
        {"right wins over left for a window as wide as the area", 5, 300, 1915, 600, 5, 300},
        {"right is checked after left, on the snapped position", 3, 300, 1912, 600, 8, 300},
        {"far from every edge", 400, 300, 800, 600, 400, 300},
    };
    for (const Case& c : cases) {
        app::TSnapPosition p = app::SnapToArea(c.x, c.y, c.w, c.h, area);
        EXPECT_EQ(p.X, c.expectedX) << c.label;
        EXPECT_EQ(p.Y, c.expectedY) << c.label;
    }
    // A work area of a monitor right of the primary one.
    app::TSnapPosition p = app::SnapToArea(1925, 4, 800, 600, app::TSnapArea{1920, 0, 3840, 1080});
    EXPECT_EQ(p.X, 1920);
    EXPECT_EQ(p.Y, 0);
}

TEST(ErrorBoxText, DotAppendedAfterCharactersAboveDot)
{
    struct Case {
        const wchar_t* message;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"アイコン画像が無効です", L"アイコン画像が無効です."},
        {L"ends in a letter", L"ends in a letter."},
        {L"version 2", L"version 2."},
        {L"already a dot.", L"already a dot."},
        {L"アサートの失敗 (file.cpp, 12 行)", L"アサートの失敗 (file.cpp, 12 行)"},
        {L"a trailing blank ", L"a trailing blank "},
        {L"slash/", L"slash/."},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(app::ErrorBoxText(c.message), c.shown) << c.shown;
}

// The message of whatever `raise` throws, as the default handler takes it.
std::wstring MessageOf(const std::function<void()>& raise)
{
    try {
        raise();
    } catch (...) {
        return app::CurrentExceptionMessage();
    }
    return L"(no exception)";
}

TEST(ErrorBoxText, EveryExceptionGivesAJapaneseOrProperlyConvertedMessage)
{
    struct Case {
        const char* label;
        std::function<void()> raise;
        std::wstring shown;
    };
    const Case cases[] = {
        {"the application's error", [] { throw desktop::EAppError(L"ファイルが壊れています"); },
         L"ファイルが壊れています"},
        {"memory exhausted", [] { throw std::bad_alloc(); }, L"メモリが不足しています"},
        {"more than a string can hold", [] { std::string().reserve(std::string().max_size() + 1); },
         L"メモリが不足しています"},
        {"UTF-8 text", [] { throw std::runtime_error("設定が壊れています"); }, L"設定が壊れています"},
        {"ASCII text", [] { throw std::runtime_error("disk full"); }, L"disk full"},
        {"no standard exception", [] { throw 42; }, L"不明なエラー"},
    };
    for (const Case& c : cases) EXPECT_EQ(MessageOf(c.raise), c.shown) << c.label;

    // Text in the ANSI code page, as the system's narrow messages come.
    const wchar_t japanese[] = L"設定が壊れています";
    char ansi[64]{};
    BOOL lossy = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, 0, japanese, -1, ansi, sizeof ansi, nullptr, &lossy);
    if (::GetACP() == CP_UTF8 || length <= 0 || lossy) GTEST_SKIP() << "the ANSI code page cannot hold the text";
    EXPECT_EQ(MessageOf([&] { throw std::runtime_error(ansi); }), japanese) << "code page " << ::GetACP();
}

// A folder tree in memory that records what was created.
class FakeFolders : public desktop::TFolderSystem {
public:
    std::wstring special = L"C:\\Users\\u\\AppData\\Roaming";
    std::wstring commonSpecial = L"C:\\ProgramData";
    std::set<std::wstring> directories;
    std::set<std::wstring> uncreatable;
    std::vector<std::wstring> created;

    std::wstring SpecialFolderPath(bool common) override { return common ? commonSpecial : special; }
    bool DirectoryExists(const std::wstring& path) override
    {
        std::wstring key = path;
        if (!key.empty() && key.back() == L'\\') key.pop_back();
        return directories.count(key) != 0;
    }
    void MakeDirectory(const std::wstring& path) override
    {
        created.push_back(path);
        if (!uncreatable.count(path)) directories.insert(path);
    }
};

class DataFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        desktop::UserDataDir.clear();
        desktop::CommonDataDir.clear();
    }
    void TearDown() override
    {
        desktop::UserDataDir.clear();
        desktop::CommonDataDir.clear();
    }
    FakeFolders folders;
};

TEST_F(DataFolderTest, FirstStartCreatesBothLevelsParentFirst)
{
    EXPECT_TRUE(desktop::ForceDataFolder(L"quillow", false, folders));
    EXPECT_EQ(folders.created, (std::vector<std::wstring>{L"C:\\Users\\u\\AppData\\Roaming\\Morvanta",
                                                          L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow"}));
    EXPECT_EQ(desktop::UserDataDir, L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow\\");
    EXPECT_EQ(desktop::UserDataDir + L"quillow.ini", L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow\\quillow.ini");
    EXPECT_TRUE(desktop::CommonDataDir.empty());
}

TEST_F(DataFolderTest, OnlyMissingLevelsAreCreated)
{
    folders.directories.insert(L"C:\\Users\\u\\AppData\\Roaming\\Morvanta");
    EXPECT_TRUE(desktop::ForceDataFolder(L"quillow", false, folders));
    EXPECT_EQ(folders.created, (std::vector<std::wstring>{L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow"}));

    folders.created.clear();
    EXPECT_TRUE(desktop::ForceDataFolder(L"quillow", false, folders));
    EXPECT_TRUE(folders.created.empty());
}

TEST_F(DataFolderTest, FailedCreationGivesFalseButStillSetsThePath)
{
    folders.uncreatable.insert(L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow");
    EXPECT_FALSE(desktop::ForceDataFolder(L"quillow", false, folders));
    EXPECT_EQ(desktop::UserDataDir, L"C:\\Users\\u\\AppData\\Roaming\\Morvanta\\quillow\\");
}

TEST_F(DataFolderTest, CommonVariantSetsOnlyCommonDataDir)
{
    desktop::UserDataDir = L"kept\\";
    EXPECT_TRUE(desktop::ForceDataFolder(L"quillow", true, folders));
    EXPECT_EQ(desktop::CommonDataDir, L"C:\\ProgramData\\Morvanta\\quillow\\");
    EXPECT_EQ(desktop::UserDataDir, L"kept\\");
}

TEST_F(DataFolderTest, NoSpecialFolderRootsThePathAtTheCurrentDrive)
{
    folders.special.clear();
    EXPECT_TRUE(desktop::ForceDataFolder(L"quillow", false, folders));
    EXPECT_EQ(desktop::UserDataDir, L"\\Morvanta\\quillow\\");
}

TEST(DirectoryTest, LinksCountOnlyWhenTheirTargetOpens)
{
    struct Case {
        const char* label;
        unsigned long attributes;
        bool targetOpens;
        bool counts;
        bool asksTarget;
    };
    const Case cases[] = {
        {"missing", INVALID_FILE_ATTRIBUTES, true, false, false},
        {"a file of the same name", FILE_ATTRIBUTE_ARCHIVE, true, false, false},
        {"a directory", FILE_ATTRIBUTE_DIRECTORY, false, true, false},
        {"a junction to an existing folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, true, true, true},
        {"a junction whose target is gone", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, false, false, true},
        {"a file link", FILE_ATTRIBUTE_REPARSE_POINT, true, false, false},
    };
    for (const Case& c : cases) {
        bool asked = false;
        EXPECT_EQ(desktop::CountsAsDirectory(c.attributes, [&] {
                      asked = true;
                      return c.targetOpens;
                  }),
                  c.counts)
            << c.label;
        EXPECT_EQ(asked, c.asksTarget) << c.label;
    }
}

}  // namespace
