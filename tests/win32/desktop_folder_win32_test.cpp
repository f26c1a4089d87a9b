// The desktop folder as the shell gives it.
#include "desktop/desktop_folder.h"

#include <gtest/gtest.h>

#include "desktop/program_icon.h"
#include "support/icon_test_support.h"

namespace {

TEST(DesktopFolderOnWin32, IsTheUsersDesktopDirectory)
{
    const std::wstring path = desktop::GetDesktopFolderPath();
    wchar_t expected[MAX_PATH + 1] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    EXPECT_EQ(path, expected);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ExtractProgramIconOnWin32, AnswersAsTheShellDoes)
{
    struct Case {
        const wchar_t* file;
        bool icon;
    } cases[] = {{L"icon_target.exe", true}, {L"icon_plain.exe", false}, {L"no-such-program.exe", false}};
    for (const Case& c : cases) {
        HICON icon = desktop::ExtractProgramIcon(testsupport::BinPath(c.file), 0);
        EXPECT_EQ(icon != nullptr && !desktop::IsNotAnIconFileAnswer(icon), c.icon) << c.file;
        if (icon && !desktop::IsNotAnIconFileAnswer(icon)) ::DestroyIcon(icon);
    }
}

}  // namespace
