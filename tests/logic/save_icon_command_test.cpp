// The icon save command over fakes: the desktop folder first, the dialog on
// it, nothing written on a cancel, and the icon read after the dialog.
#include "inspect/save_icon_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/app_error.h"

namespace {

const HWND kOwner = reinterpret_cast<HWND>(0x99);

// Icons whose encoding is the handle's low byte, and a record of writes.
class FakeIcons final : public inspect::TIconPlatform {
public:
    std::vector<std::pair<std::wstring, std::vector<std::uint8_t>>> writes;
    void DestroyIcon(HICON) override {}
    HICON IconFromFileBytes(std::span<const std::uint8_t>) override { return nullptr; }
    std::vector<std::uint8_t> EncodeIconFile(HICON icon) override
    {
        return {static_cast<std::uint8_t>(reinterpret_cast<std::uintptr_t>(icon))};
    }
    void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes) override
    {
        writes.emplace_back(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
    HICON ExtractProgramIcon(const std::wstring&, UINT) override { return reinterpret_cast<HICON>(0x22); }
    HICON ApplicationIcon() override { return nullptr; }
    void SetBigIcon(HWND, HICON) override {}
};

struct Recorder {
    std::vector<std::wstring> dialogFolders;
    std::vector<HWND> dialogOwners;
};

TEST(SaveIconCommand, RunsTheDialogOnTheDesktopFolderAndSavesToTheChosenPath)
{
    FakeIcons icons;
    inspect::TIcon windowIcon(icons);
    windowIcon.SetHandle(reinterpret_cast<HICON>(0x11));
    Recorder recorder;
    std::vector<std::optional<std::wstring>> answers = {L"C:\\elsewhere\\a.ico", std::nullopt, L"C:\\D\\b.ico"};
    inspect::TSaveIconCommandSteps steps{
        [] { return std::wstring(L"C:\\D"); },
        [&](HWND owner, const std::wstring& folder) {
            recorder.dialogOwners.push_back(owner);
            recorder.dialogFolders.push_back(folder);
            auto answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        }};
    for (int i = 0; i < 3; ++i) inspect::RunSaveIconCommand(kOwner, windowIcon, steps);

    EXPECT_EQ(recorder.dialogFolders, (std::vector<std::wstring>{L"C:\\D", L"C:\\D", L"C:\\D"}))
        << "the desktop every time, even after a save elsewhere";
    EXPECT_EQ(recorder.dialogOwners, (std::vector<HWND>{kOwner, kOwner, kOwner}));
    ASSERT_EQ(icons.writes.size(), 2u) << "a cancel writes nothing";
    EXPECT_EQ(icons.writes[0].first, L"C:\\elsewhere\\a.ico");
    EXPECT_EQ(icons.writes[1].first, L"C:\\D\\b.ico");
    EXPECT_EQ(icons.writes[1].second, std::vector<std::uint8_t>{0x11});
}

TEST(SaveIconCommand, NoDesktopFolderEndsTheCommandBeforeTheDialog)
{
    FakeIcons icons;
    inspect::TIcon windowIcon = inspect::TIcon::DesignIcon(icons);
    bool dialogShown = false;
    inspect::TSaveIconCommandSteps steps{[]() -> std::wstring { throw desktop::EAppError(L"OLE エラー 80004005"); },
                                         [&](HWND, const std::wstring&) -> std::optional<std::wstring> {
                                             dialogShown = true;
                                             return L"x.ico";
                                         }};
    EXPECT_THROW(inspect::RunSaveIconCommand(kOwner, windowIcon, steps), desktop::EAppError);
    EXPECT_FALSE(dialogShown);
    EXPECT_TRUE(icons.writes.empty());
}

TEST(SaveIconCommand, SavesTheIconTheWindowHoldsWhenTheDialogCloses)
{
    // A capture while the dialog is open replaces the window icon.
    FakeIcons icons;
    inspect::TIcon windowIcon = inspect::TIcon::DesignIcon(icons);
    inspect::TSaveIconCommandSteps steps{[] { return std::wstring(L"C:\\D"); },
                                         [&](HWND owner, const std::wstring&) -> std::optional<std::wstring> {
                                             inspect::ShowProgramIcon(owner, windowIcon, L"C:\\captured.exe");
                                             return L"C:\\D\\a.ico";
                                         }};
    inspect::RunSaveIconCommand(kOwner, windowIcon, steps);
    ASSERT_EQ(icons.writes.size(), 1u);
    EXPECT_EQ(icons.writes[0].second, std::vector<std::uint8_t>{0x22});
}

TEST(SaveIconCommand, SaveFailureReachesTheCaller)
{
    FakeIcons icons;
    inspect::TIcon windowIcon(icons);  // empty: the captured program had no icon
    inspect::TSaveIconCommandSteps steps{[] { return std::wstring(L"C:\\D"); },
                                         [](HWND, const std::wstring&) -> std::optional<std::wstring> {
                                             return L"C:\\D\\a.ico";
                                         }};
    try {
        inspect::RunSaveIconCommand(kOwner, windowIcon, steps);
        FAIL() << "no exception";
    } catch (const desktop::EAppError& e) {
        EXPECT_EQ(e.Message(), L"アイコン画像が無効です");
    }
    EXPECT_TRUE(icons.writes.empty());
}

}  // namespace
