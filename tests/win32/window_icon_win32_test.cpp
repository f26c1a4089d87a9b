// The window icon and the program-icon step on a real window, real
// executables and real files.
#include "inspect/window_icon.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/error_message.h"
#include "desktop/app_error.h"
#include "desktop/handles.h"
#include "inspect/design_icon.h"
#include "inspect/icon_file_writer.h"
#include "support/icon_test_support.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kLime = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;

class TestWindow {
public:
    TestWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillowIconTestWindow";
        ::RegisterClassW(&windowClass);  // result not checked: registered by an earlier test
        m_window.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"icon test", WS_OVERLAPPEDWINDOW, 0, 0,
                                         200, 100, nullptr, nullptr, windowClass.hInstance, nullptr));
    }
    HWND get() const { return m_window.get(); }
    HICON BigIcon() const
    {
        return reinterpret_cast<HICON>(::SendMessageW(m_window.get(), WM_GETICON, ICON_BIG, 0));
    }

private:
    desktop::WindowHandle m_window;
};

class TempFile {
public:
    TempFile() : path(testsupport::FreshTempPath(L"quillow-icon")) {}
    ~TempFile() { ::DeleteFileW(path.c_str()); }
    const std::wstring path;
};

// The real platform, with a count of the encodings it was asked for.
class CountingPlatform final : public inspect::TIconPlatform {
public:
    int encodings = 0;
    void DestroyIcon(HICON icon) override { real.DestroyIcon(icon); }
    HICON IconFromFileBytes(std::span<const std::uint8_t> bytes) override { return real.IconFromFileBytes(bytes); }
    std::vector<std::uint8_t> EncodeIconFile(HICON icon) override
    {
        ++encodings;
        return real.EncodeIconFile(icon);
    }
    void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes) override
    {
        real.WriteNewFile(path, bytes);
    }
    HICON ExtractProgramIcon(const std::wstring& path, UINT index) override
    {
        return real.ExtractProgramIcon(path, index);
    }
    HICON ApplicationIcon() override { return real.ApplicationIcon(); }
    void SetBigIcon(HWND window, HICON icon) override { real.SetBigIcon(window, icon); }

private:
    inspect::TIconPlatform& real = inspect::Win32IconPlatform();
};

bool IsLiveIcon(HICON icon)
{
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    desktop::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    return true;
}

const HICON kApplicationIcon = ::LoadIconW(nullptr, IDI_APPLICATION);

TEST(WindowIconOnWin32, DesignIconIsShownAndSavedByteForByte)
{
    TestWindow window;
    inspect::TIcon icon = inspect::TIcon::DesignIcon();
    inspect::ShowWindowIcon(window.get(), icon);
    const testsupport::IconPicture shown = testsupport::PictureOf(window.BigIcon());
    // Shown at the system's large-icon size.
    ASSERT_EQ(shown.width, ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(shown.ColourAt32(5, 4), kBlue) << "title bar";
    EXPECT_TRUE(shown.TransparentAt32(31, 0)) << "top right corner";

    TempFile file;
    testsupport::WriteFileBytes(file.path, std::vector<std::uint8_t>(5000, 0xEE));  // replaced, not appended to
    icon.SaveToFile(file.path);
    const auto design = inspect::DesignIconBytes();
    EXPECT_EQ(testsupport::ReadFileBytes(file.path), std::vector<std::uint8_t>(design.begin(), design.end()));
}

TEST(ProgramIconStepOnWin32, ExecutablesIconBecomesTheWindowsBigIconAndSavesOnce)
{
    TestWindow window;
    CountingPlatform platform;
    inspect::TIcon windowIcon = inspect::TIcon::DesignIcon(platform);
    inspect::ShowWindowIcon(window.get(), windowIcon);

    inspect::ShowProgramIcon(window.get(), windowIcon, testsupport::BinPath(L"icon_target.exe"));
    ASSERT_EQ(windowIcon.State(), inspect::TIcon::TState::Handle);
    EXPECT_EQ(window.BigIcon(), windowIcon.Handle());
    const testsupport::IconPicture shown = testsupport::PictureOf(window.BigIcon());
    ASSERT_EQ(shown.width, ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(shown.ColourAt32(16, 8), kRed);
    EXPECT_EQ(shown.ColourAt32(16, 24), kLime);

    TempFile first, second;
    windowIcon.SaveToFile(first.path);
    windowIcon.SaveToFile(second.path);
    EXPECT_EQ(platform.encodings, 1) << "the bitmaps are read once per captured icon";
    const std::vector<std::uint8_t> saved = testsupport::ReadFileBytes(first.path);
    EXPECT_EQ(testsupport::ReadFileBytes(second.path), saved);
    desktop::IconHandle loaded(
        static_cast<HICON>(::LoadImageW(nullptr, first.path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
    const testsupport::IconPicture reloaded = testsupport::PictureOf(loaded.get());
    EXPECT_TRUE(reloaded.colours == shown.colours);

    // A further capture, here of an icon file, replaces the icon and the
    // handle of the first is destroyed.
    const HICON firstHandle = windowIcon.Handle();
    TempFile iconFile;
    const auto design = inspect::DesignIconBytes();
    testsupport::WriteFileBytes(iconFile.path, std::vector<std::uint8_t>(design.begin(), design.end()));
    inspect::ShowProgramIcon(window.get(), windowIcon, iconFile.path);
    EXPECT_FALSE(IsLiveIcon(firstHandle));
    EXPECT_EQ(window.BigIcon(), windowIcon.Handle());
    TempFile third;
    windowIcon.SaveToFile(third.path);
    EXPECT_EQ(platform.encodings, 2);
    const std::vector<std::uint8_t> changed = testsupport::ReadFileBytes(third.path);
    EXPECT_NE(changed, saved);
    // Wine's icons are 32-bit, at the system's large-icon size (4286 bytes at
    // 32 x 32): head, 40-byte header, colour rows, mask rows of whole 4 bytes.
    const std::size_t side = static_cast<std::size_t>(::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(changed.size(), 22 + 40 + side * side * 4 + side * (((side + 31) / 32) * 4));
}

TEST(ProgramIconStepOnWin32, ExtractedHandleIsDestroyedWithTheLastHolder)
{
    TestWindow window;
    HICON extracted = nullptr;
    {
        inspect::TIcon windowIcon;
        inspect::ShowProgramIcon(window.get(), windowIcon, testsupport::BinPath(L"icon_target.exe"));
        extracted = windowIcon.Handle();
        ASSERT_TRUE(IsLiveIcon(extracted));
    }
    EXPECT_FALSE(IsLiveIcon(extracted));
}

TEST(ProgramIconStepOnWin32, ExecutableWithoutIconsShowsTheApplicationIconAndCannotBeSaved)
{
    TestWindow window;
    inspect::TIcon windowIcon = inspect::TIcon::DesignIcon();
    inspect::ShowWindowIcon(window.get(), windowIcon);
    inspect::ShowProgramIcon(window.get(), windowIcon, testsupport::BinPath(L"icon_plain.exe"));
    EXPECT_EQ(windowIcon.State(), inspect::TIcon::TState::Empty);
    // The test program has no MAINICON, so the system's icon stands in.
    EXPECT_EQ(window.BigIcon(), kApplicationIcon);

    TempFile file;
    EXPECT_EQ(testsupport::ErrorMessageOf([&] { windowIcon.SaveToFile(file.path); }), L"アイコン画像が無効です");
    EXPECT_FALSE(testsupport::FileExists(file.path));
}

TEST(WindowIconOnWin32, IconsThatCannotBeEncodedLeaveNoFile)
{
    std::vector<std::uint8_t> bits(4 * 64, 0xAA);
    desktop::BitmapHandle mask(::CreateBitmap(32, 64, 1, 1, bits.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), nullptr};
    struct Case {
        const char* label;
        HICON handle;
        const wchar_t* message;
        bool appIconShown;
    };
    const Case cases[] = {
        {"monochrome icon", ::CreateIconIndirect(&info), L"ビットマップ画像が無効です", false},
        {"ExtractIconW's answer for a file of no icon kind", reinterpret_cast<HICON>(1), L"アイコン画像が無効です",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestWindow window;
        inspect::TIcon icon;
        icon.SetHandle(c.handle);
        inspect::ShowWindowIcon(window.get(), icon);
        EXPECT_EQ(window.BigIcon() == kApplicationIcon, c.appIconShown);
        TempFile file;
        EXPECT_EQ(testsupport::ErrorMessageOf([&] { icon.SaveToFile(file.path); }), c.message);
        EXPECT_FALSE(testsupport::FileExists(file.path));
    }
}

TEST(WindowIconOnWin32, FileThatCannotBeCreatedNamesItsPathAndWritesNothing)
{
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"quillow-no-such-folder";
    const std::wstring path = folder + L"\\saved.ico";
    ASSERT_FALSE(testsupport::FileExists(folder));

    inspect::TIcon windowIcon;
    TestWindow window;
    inspect::ShowProgramIcon(window.get(), windowIcon, testsupport::BinPath(L"icon_target.exe"));
    EXPECT_EQ(testsupport::ErrorMessageOf([&] { windowIcon.SaveToFile(path); }),
              L"ファイル \"" + path + L"\" を作成できません。" + desktop::SystemErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(testsupport::FileExists(folder));
    EXPECT_FALSE(testsupport::FileExists(std::wstring(temp) + L"saved.ico"));
    EXPECT_FALSE(testsupport::FileExists(L"saved.ico"));
}

}  // namespace
