// WriteNewFile over a fake file system: the creation and write failures and
// the closing of the file on every path.
#include "inspect/icon_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/app_error.h"
#include "desktop/file_error_messages.h"

namespace {

const HANDLE kFile = reinterpret_cast<HANDLE>(0x44);

class FakeFiles final : public inspect::TFileApi {
public:
    DWORD createError = ERROR_SUCCESS;
    std::vector<DWORD> writeAnswers;  // bytes each write reports; a 0 fails
    std::vector<std::string> log;
    std::vector<std::uint8_t> written;

    HANDLE CreateNew(const std::wstring& path, DWORD& error) override
    {
        log.push_back("create " + std::string(path.begin(), path.end()));
        error = createError;
        return createError == ERROR_SUCCESS ? kFile : INVALID_HANDLE_VALUE;
    }
    bool Write(HANDLE file, const std::uint8_t* data, DWORD size, DWORD& done) override
    {
        EXPECT_EQ(file, kFile);
        log.push_back("write " + std::to_string(size));
        done = writeAnswers.empty() ? size : std::min(size, writeAnswers.front());
        if (!writeAnswers.empty()) writeAnswers.erase(writeAnswers.begin());
        written.insert(written.end(), data, data + done);
        return done != 0;
    }
    void Close(HANDLE file) override
    {
        EXPECT_EQ(file, kFile);
        log.push_back("close");
    }
};

using Log = std::vector<std::string>;

TEST(WriteNewFile, WritesEveryByteAndCloses)
{
    struct Case {
        const char* label;
        std::vector<DWORD> answers;
        Log log;
    };
    const Case cases[] = {
        {"one write", {}, {"create f.ico", "write 10", "close"}},
        {"the platform takes part of the bytes", {4, 6}, {"create f.ico", "write 10", "write 6", "close"}},
    };
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeFiles files;
        files.writeAnswers = c.answers;
        inspect::WriteNewFile(L"f.ico", bytes, files);
        EXPECT_EQ(files.log, c.log);
        EXPECT_EQ(files.written, bytes);
    }
}

TEST(WriteNewFile, FailuresRaiseTheirMessage)
{
    struct Case {
        const char* label;
        DWORD createError;
        std::vector<DWORD> answers;
        std::wstring message;
        Log log;
    };
    const std::wstring path = L"C:\\no such folder\\f.ico";
    const Case cases[] = {
        {"cannot create", ERROR_PATH_NOT_FOUND, {},
         L"ファイル \"C:\\no such folder\\f.ico\" を作成できません。" + desktop::SystemErrorText(ERROR_PATH_NOT_FOUND),
         {"create C:\\no such folder\\f.ico"}},
        {"write stops short", ERROR_SUCCESS, {4, 0}, L"ストリームへの書き込みエラー",
         {"create C:\\no such folder\\f.ico", "write 10", "write 6", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeFiles files;
        files.createError = c.createError;
        files.writeAnswers = c.answers;
        std::wstring message;
        try {
            inspect::WriteNewFile(path, std::vector<std::uint8_t>(10, 7), files);
        } catch (const desktop::EAppError& e) {
            message = e.Message();
        }
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(files.log, c.log);
    }
}

TEST(WriteNewFile, CreationMessageKeepsTheQuotesAroundThePath)
{
    EXPECT_EQ(desktop::CannotCreateFileMessage(L"D:\\a b\\c.ico", L"アクセスが拒否されました"),
              L"ファイル \"D:\\a b\\c.ico\" を作成できません。アクセスが拒否されました");
}

}  // namespace
