// The settings file on real files: sharing, the failures the user is told
// about, and the replacement that leaves the old file whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/form_settings.h"
#include "app/settings_file.h"
#include "app/settings_storage.h"
#include "desktop/app_error.h"
#include "desktop/handles.h"
#include "support/error_message.h"

using desktop::FileHandle;

namespace {

const std::string kOldContent = "[Form]\r\nMAX=0\r\nTop=1\r\nLeft=2\r\nHeight=3\r\nWidth=4\r\n";

class Window final : public app::FormSettingsState {
public:
    int top = 80, left = 120, height = 440, width = 1040;
    bool maximized = false, onTop = false;
    int button = 0;
    int Top() const override { return top; }
    int Left() const override { return left; }
    int Height() const override { return height; }
    int Width() const override { return width; }
    void SetTop(int v) override { top = v; }
    void SetLeft(int v) override { left = v; }
    void SetHeight(int v) override { height = v; }
    void SetWidth(int v) override { width = v; }
    bool IsMaximized() const override { return maximized; }
    void SetMaximized(bool v) override { maximized = v; }
    bool StayOnTopDown() const override { return onTop; }
    void SetStayOnTopDown(bool v) override { onTop = v; }
    int ButtonCode() const override { return button; }
    void SetButtonCode(int v) override { button = v; }
};

// A writer that runs `during` before its first block, then writes through
// or fails.
class ScriptedWriter final : public app::FileWriter {
public:
    std::function<void()> during;
    // Bytes written before the write fails with ERROR_DISK_FULL; -1: never.
    long long failAfter = -1;
    long long total = 0;

    bool Write(HANDLE file, const char* data, DWORD size, DWORD& written) override
    {
        if (during) std::exchange(during, nullptr)();
        if (failAfter >= 0 && total + size > failAfter) {
            const DWORD part = static_cast<DWORD>(failAfter - total);
            DWORD done = 0;
            if (part > 0) ::WriteFile(file, data, part, &done, nullptr);
            total += done;
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        const bool ok = ::WriteFile(file, data, size, &written, nullptr) != FALSE;
        total += written;
        return ok;
    }
};

class SettingsOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"settings_test_" + std::to_wstring(::GetCurrentProcessId()) +
                 L"_" + std::to_wstring(++counter);
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        path = folder + L"\\" + app::kSettingsFileName;
    }

    void TearDown() override { RemoveTree(folder); }

    static void RemoveTree(const std::wstring& dir)
    {
        for (const std::wstring& name : Names(dir)) {
            const std::wstring full = dir + L"\\" + name;
            const DWORD attributes = ::GetFileAttributesW(full.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                RemoveTree(full);
            } else {
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(full.c_str());
            }
        }
        ::RemoveDirectoryW(dir.c_str());
    }

    // The names in a folder, "." and ".." left out.
    static std::vector<std::wstring> Names(const std::wstring& dir)
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data{};
        HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return names;
    }

    void Put(const std::string& bytes) const
    {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr));
    }

    static std::string Content(const std::wstring& file)
    {
        FileHandle handle(::CreateFileW(file.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) return "<cannot open: " + std::to_string(::GetLastError()) + ">";
        std::string bytes;
        char block[4096];
        DWORD read = 0;
        while (::ReadFile(handle.get(), block, sizeof block, &read, nullptr) && read > 0)
            bytes.append(block, read);
        return bytes;
    }

    std::wstring CannotCreate(DWORD code) const
    {
        return L"ファイル \"" + path + L"\" を作成できません。" + desktop::SystemErrorText(code);
    }

    std::wstring CannotOpen(DWORD code) const
    {
        return L"ファイル " + path + L" は開けません。 " + desktop::SystemErrorText(code) + L" ";
    }

    // The message of the EAppError that `action` raised, or a note that it
    // raised none.
    static std::wstring ErrorOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const desktop::EAppError& error) {
            return error.Message();
        }
        return L"<no error>";
    }

    void Close(const Window& window, app::SettingsStorage& storage) const
    {
        app::WriteFormSettings(window, path, storage, ::GetACP());
    }

    static inline int counter = 0;
    std::wstring folder;
    std::wstring path;
    app::FileSettingsStorage storage;
};

}  // namespace

TEST_F(SettingsOnDisk, WrittenFromNothingAndReadBack)
{
    Window closing;
    app::WriteFormSettings(closing, path);
    EXPECT_EQ(Content(path),
              (::GetACP() == 65001 ? std::string("\xEF\xBB\xBF") : std::string()) +
                  "[Form]\r\nMAX=0\r\nTop=80\r\nLeft=120\r\nHeight=440\r\nWidth=1040\r\n"
                  "MostTop=0\r\nButton=0\r\n\r\n");
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName});

    Window opening;
    opening.top = opening.left = opening.height = opening.width = 0;
    opening.onTop = true;
    opening.button = 2;
    opening.maximized = true;
    app::ReadFormSettings(opening, path);
    EXPECT_EQ(opening.top, 80);
    EXPECT_EQ(opening.left, 120);
    EXPECT_EQ(opening.height, 440);
    EXPECT_EQ(opening.width, 1040);
    EXPECT_FALSE(opening.maximized);
    EXPECT_FALSE(opening.onTop);
    EXPECT_EQ(opening.button, 0);
}

TEST_F(SettingsOnDisk, RewriteKeepsTheOldFilesEncodingAndOtherSections)
{
    const std::string utf16 = std::string("\xFF\xFE") +
                              std::string("[\0O\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22);
    Put(utf16);
    Window closing;
    closing.maximized = true;
    Close(closing, storage);
    const std::string written = Content(path);
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    app::TSettingsFile reread(path);
    EXPECT_EQ(reread.ReadString(L"O", L"k", L""), L"v");
    EXPECT_TRUE(reread.ReadBool(L"Form", L"MAX", false));
}

TEST_F(SettingsOnDisk, AFileTooLargeToHoldCannotBeOpened)
{
    // Sparse files, of which nothing is read: beyond 2 GiB the text
    // conversions of every build end; 1 GiB is more than a 32-bit process
    // can hold.
    struct Case {
        LONGLONG size;
        DWORD reason;
    };
    std::vector<Case> cases{{LONGLONG{INT_MAX} + 1, ERROR_FILE_TOO_LARGE}};
    if (sizeof(void*) == 4) cases.push_back({LONGLONG{1} << 30, ERROR_NOT_ENOUGH_MEMORY});
    for (const auto& [size, reason] : cases) {
        {
            FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(file);
            LARGE_INTEGER end{};
            end.QuadPart = size;
            ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
            ASSERT_TRUE(::SetEndOfFile(file.get()));
        }
        Window window;
        EXPECT_EQ(testsupport::ErrorMessageOf([&] { app::ReadFormSettings(window, path, storage, ::GetACP()); }),
                  CannotOpen(reason))
            << size << " bytes";
        EXPECT_EQ(window.width, 1040) << "nothing applied";
    }
}

TEST_F(SettingsOnDisk, FileHeldOpenForWritingCannotBeOpened)
{
    Put(kOldContent);
    FileHandle other(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other);
    Window window;
    EXPECT_EQ(ErrorOf([&] { app::ReadFormSettings(window, path); }),
              CannotOpen(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(window.top, 80) << "nothing applied";
    EXPECT_EQ(ErrorOf([&] { Close(window, storage); }), CannotOpen(ERROR_SHARING_VIOLATION));
    other.reset();
    EXPECT_EQ(Content(path), kOldContent);
}

// While the file is read, others may read it but not write it.
TEST_F(SettingsOnDisk, OthersMayReadButNotWriteWhileItIsRead)
{
    Put(kOldContent);
    // The reading handle, as the settings copy holds it while loading.
    FileHandle reading(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reading);
    // A second copy can load it at the same time ...
    EXPECT_NO_THROW(app::TSettingsFile(path, storage, ::GetACP()));
    // ... but a writer is refused: the close reports it and the file stays.
    Window window;
    EXPECT_EQ(ErrorOf([&] { Close(window, storage); }), CannotCreate(ERROR_SHARING_VIOLATION));
    reading.reset();
    EXPECT_EQ(Content(path), kOldContent);
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName});
}

// The new content is written into a file beside the old one that nobody
// else may open; the old file stays whole until it is replaced at once.
TEST_F(SettingsOnDisk, NobodyCanOpenWhatIsBeingWritten)
{
    Put(kOldContent);
    ScriptedWriter writer;
    std::vector<std::wstring> during;
    DWORD openError = 0;
    std::string oldWhileWriting;
    writer.during = [&] {
        during = Names(folder);
        for (const std::wstring& name : during) {
            if (name == app::kSettingsFileName) continue;
            const std::wstring full = folder + L"\\" + name;
            FileHandle probe(::CreateFileW(full.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            openError = probe ? 0 : ::GetLastError();
        }
        oldWhileWriting = Content(path);
    };
    app::FileSettingsStorage seam(writer);
    Window window;
    Close(window, seam);
    ASSERT_EQ(during.size(), 2u) << "the settings file and the one being written";
    EXPECT_EQ(openError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(oldWhileWriting, kOldContent);
    EXPECT_EQ(app::TSettingsFile(path).ReadInteger(L"Form", L"Top", 0), 80);
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName});
}

TEST_F(SettingsOnDisk, WriteFailingPartWayLeavesTheOldFileWhole)
{
    Put(kOldContent);
    struct Case {
        const char* name;
        long long failAfter;
    } cases[] = {{"nothing written", 0}, {"part written", 20}, {"all but the last byte", 79}};
    for (const Case& c : cases) {
        ScriptedWriter writer;
        writer.failAfter = c.failAfter;
        app::FileSettingsStorage seam(writer);
        Window window;
        EXPECT_EQ(ErrorOf([&] { Close(window, seam); }), L"ストリームへの書き込みエラー") << c.name;
        EXPECT_EQ(Content(path), kOldContent) << c.name;
        EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName}) << c.name;
    }
}

// A write that fails part way when there was no file leaves none.
TEST_F(SettingsOnDisk, WriteFailingPartWayLeavesNoNewFile)
{
    ScriptedWriter writer;
    writer.failAfter = 10;
    app::FileSettingsStorage seam(writer);
    Window window;
    EXPECT_EQ(ErrorOf([&] { Close(window, seam); }), L"ストリームへの書き込みエラー");
    EXPECT_TRUE(Names(folder).empty());
}

TEST_F(SettingsOnDisk, DataFolderRemovedThenBack)
{
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));
    Window window;
    // Reading finds no file and changes nothing; it is no error.
    EXPECT_EQ(ErrorOf([&] { app::ReadFormSettings(window, path); }), L"<no error>");
    EXPECT_EQ(window.top, 80);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(ErrorOf([&] { app::WriteFormSettings(window, path); }),
                  CannotCreate(ERROR_PATH_NOT_FOUND))
            << "close " << attempt;
    }
    EXPECT_EQ(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing created";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_EQ(ErrorOf([&] { app::WriteFormSettings(window, path); }), L"<no error>");
    EXPECT_EQ(app::TSettingsFile(path).ReadInteger(L"Form", L"Width", 0), 1040);
}

TEST_F(SettingsOnDisk, FolderNamedLikeTheSettingsFile)
{
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    Window window;
    window.top = 5;
    // A folder of that name counts as no file ...
    EXPECT_EQ(ErrorOf([&] { app::ReadFormSettings(window, path); }), L"<no error>");
    EXPECT_EQ(window.top, 5);
    // ... and cannot be replaced by one.
    EXPECT_EQ(ErrorOf([&] { app::WriteFormSettings(window, path); }),
              CannotCreate(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName});
    EXPECT_NE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(SettingsOnDisk, ReadOnlySettingsFile)
{
    Put(kOldContent);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Window window;
    EXPECT_EQ(ErrorOf([&] { app::ReadFormSettings(window, path); }), L"<no error>");
    EXPECT_EQ(window.top, 1) << "a read-only file is read";
    EXPECT_EQ(ErrorOf([&] { app::WriteFormSettings(window, path); }),
              CannotCreate(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Content(path), kOldContent);
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName});
}

// Another program holding the file open while sharing it for writing: the
// replacement cannot take its place, so the close is refused, the old file
// stays and nothing is left beside it.
TEST_F(SettingsOnDisk, FileOpenElsewhereIsNotReplaced)
{
    Put(kOldContent);
    FileHandle other(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other);
    Window window;
    const std::wstring message = ErrorOf([&] { Close(window, storage); });
    EXPECT_EQ(message.rfind(L"ファイル \"" + path + L"\" を作成できません。", 0), 0u) << message.size();
    other.reset();
    EXPECT_EQ(Content(path), kOldContent);
    EXPECT_EQ(Names(folder), std::vector<std::wstring>{app::kSettingsFileName});
}
