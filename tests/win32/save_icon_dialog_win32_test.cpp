// The save dialogs under Wine, driven with real input from a second thread:
// they open on the given folder with an empty name and the one icon file
// type, add ".ico" to a typed name, ask before replacing a file, and answer
// nothing on a cancel.
#include "inspect/save_icon_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "desktop/desktop_folder.h"
#include "desktop/handles.h"
#include "support/icon_test_support.h"
#include "support/save_dialog_driver.h"

namespace {

using Dialog = std::function<std::optional<std::wstring>(HWND owner, const std::wstring& folder)>;

class OwnerWindow {
public:
    OwnerWindow()
        : m_window(::CreateWindowExW(0, L"STATIC", L"quillow dialog owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                     300, 200, nullptr, nullptr, nullptr, nullptr))
    {
    }
    HWND get() const { return m_window.get(); }

private:
    desktop::WindowHandle m_window;
};

struct Seen {
    bool found = false;
    std::wstring name, fileType, folder;
    bool driven = false;
};

// Runs `dialog` on this thread while `drive` works it from another. When
// the driver cannot finish, the dialog is cancelled so the test goes on.
std::optional<std::wstring> RunDriven(const Dialog& dialog, HWND owner, const std::wstring& folder,
                                      const std::function<bool(HWND dialog)>& drive, Seen& seen)
{
    std::thread driver([&] {
        HWND window = testsupport::WaitForOwnedDialog(owner);
        seen.found = window != nullptr;
        if (!window) return;
        seen.name = testsupport::SaveDialogName(window);
        seen.fileType = testsupport::SaveDialogFileType(window);
        seen.folder = testsupport::SaveDialogFolder(window);
        seen.driven = drive(window);
        if (!seen.driven) ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    std::optional<std::wstring> result = dialog(owner, folder);
    driver.join();
    return result;
}

struct DialogKind {
    const char* label;
    Dialog run;
    bool answersFolder;  // only the classic dialog tells its folder
};

const DialogKind kCommandsDialog = {"the dialog the command uses", inspect::RunSaveIconDialog, false};
const DialogKind kDialogs[] = {
    {"the shell's dialog",
     [](HWND owner, const std::wstring& folder) {
         bool offered = false;
         auto path = inspect::RunShellSaveIconDialog(owner, folder, offered);
         EXPECT_TRUE(offered) << "Wine has the shell's file-save dialog";
         return path;
     },
     false},
    {"the classic dialog", inspect::RunClassicSaveIconDialog, true},
};

TEST(SaveIconDialog, OpensOnTheDesktopAndAddsTheExtensionToATypedName)
{
    const std::wstring desktopFolder = desktop::GetDesktopFolderPath();
    const DialogKind kinds[] = {kCommandsDialog, kDialogs[0], kDialogs[1]};
    for (const DialogKind& kind : kinds) {
        SCOPED_TRACE(kind.label);
        OwnerWindow owner;
        Seen seen;
        auto path = RunDriven(
            kind.run, owner.get(), desktopFolder,
            [](HWND d) { return testsupport::TypeNameAndConfirm(d, "quillow-dialog-test"); }, seen);
        ASSERT_TRUE(seen.found) << "no dialog owned by the window";
        EXPECT_TRUE(seen.driven);
        EXPECT_EQ(seen.name, L"");
        EXPECT_EQ(seen.fileType, L"アイコン(*.ico)");
        if (kind.answersFolder) {
            EXPECT_EQ(seen.folder, desktopFolder);
        }
        ASSERT_TRUE(path);
        // A bare name lands in the folder the dialog opened on.
        EXPECT_EQ(*path, desktopFolder + L"\\quillow-dialog-test.ico");
        EXPECT_FALSE(testsupport::FileExists(*path)) << "the dialog only names the file";
    }
}

// Wine's dialogs remember no folder of their own, so this shows the
// behaviour; that the folder is set as the current one, not as a fallback,
// the logic tests show.
TEST(SaveIconDialog, OpensOnTheGivenFolderEvenAfterAChoiceElsewhere)
{
    const std::wstring desktopFolder = desktop::GetDesktopFolderPath();
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring elsewhere = std::wstring(temp) + L"quillow-elsewhere";
    std::string typed(elsewhere.begin(), elsewhere.end());
    for (const DialogKind& kind : kDialogs) {
        SCOPED_TRACE(kind.label);
        OwnerWindow owner;
        Seen first, second;
        auto away = RunDriven(
            kind.run, owner.get(), desktopFolder, [&](HWND d) { return testsupport::TypeNameAndConfirm(d, typed); },
            first);
        ASSERT_TRUE(away);
        EXPECT_EQ(*away, elsewhere + L".ico");
        auto back = RunDriven(
            kind.run, owner.get(), desktopFolder,
            [](HWND d) { return testsupport::TypeNameAndConfirm(d, "quillow-back"); }, second);
        ASSERT_TRUE(back);
        EXPECT_EQ(second.name, L"") << "the name box starts empty every time";
        EXPECT_EQ(*back, desktopFolder + L"\\quillow-back.ico");
    }
}

TEST(SaveIconDialog, CancelAnswersNothing)
{
    for (const DialogKind& kind : kDialogs) {
        SCOPED_TRACE(kind.label);
        OwnerWindow owner;
        Seen seen;
        auto path = RunDriven(
            kind.run, owner.get(), desktop::GetDesktopFolderPath(),
            [](HWND d) { return testsupport::CancelDialog(d); }, seen);
        EXPECT_TRUE(seen.driven);
        EXPECT_FALSE(path);
    }
}

TEST(SaveIconDialog, AsksBeforeReplacingAnExistingFile)
{
    for (const DialogKind& kind : kDialogs) {
        SCOPED_TRACE(kind.label);
        const std::wstring existing = testsupport::FreshTempPath(L"quillow-existing");
        testsupport::WriteFileBytes(existing, {1, 2, 3});
        std::wstring withoutExtension = existing.substr(0, existing.size() - 4);
        std::string typed(withoutExtension.begin(), withoutExtension.end());
        OwnerWindow owner;
        Seen seen;
        bool asked = false;
        auto path = RunDriven(
            kind.run, owner.get(), desktop::GetDesktopFolderPath(),
            [&](HWND d) {
                if (!testsupport::TypeNameAndConfirm(d, typed)) return false;
                HWND prompt = testsupport::WaitForOwnedDialog(d, 5000);
                asked = prompt != nullptr;
                if (!asked) return false;
                ::PostMessageW(prompt, WM_COMMAND, IDYES, 0);
                return true;
            },
            seen);
        EXPECT_TRUE(asked) << "no prompt before replacing";
        ASSERT_TRUE(path);
        EXPECT_EQ(*path, existing);
        ::DeleteFileW(existing.c_str());
    }
}

}  // namespace
