#include "app/settings_storage.h"

#include <algorithm>
#include <climits>

#include "desktop/app_error.h"
#include "desktop/file_error_messages.h"
#include "desktop/handles.h"

namespace app {
namespace {

// The text conversions take int lengths: a larger file cannot be a
// settings file we could read. A smaller one may still be too large to hold
// in memory (see TSettingsFile).
constexpr ULONGLONG kMaxSettingsFileSize = INT_MAX;
constexpr DWORD kBlockSize = 64 * 1024;
// Attempts at a free temporary name before giving up.
constexpr int kTempNameAttempts = 100;

[[noreturn]] void ThrowCannotOpen(const std::wstring& path, DWORD error)
{
    throw desktop::EAppError(CannotOpenMessage(path, error));
}

[[noreturn]] void ThrowCannotCreate(const std::wstring& path, DWORD error)
{
    throw desktop::EAppError(CannotCreateMessage(path, error));
}

[[noreturn]] void ThrowWriteError() { throw desktop::EAppError(WriteErrorMessage()); }

bool IsMissingPathError(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class Win32FileWriter final : public FileWriter {
public:
    bool Write(HANDLE file, const char* data, DWORD size, DWORD& written) override
    {
        return ::WriteFile(file, data, size, &written, nullptr) != FALSE;
    }
};

// A temporary file that is deleted unless it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        handle.reset();
        if (!path.empty()) ::DeleteFileW(path.c_str());  // best effort on a failure path
    }
    void Committed() { path.clear(); }

    std::wstring path;
    desktop::FileHandle handle;
};

// Creates a new file beside `target`, open for writing and for nobody else.
void CreateBeside(const std::wstring& target, TemporaryFile& temp)
{
    const std::wstring stem = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-";
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kTempNameAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
        std::wstring name = stem + std::to_wstring(attempt) + L".tmp";
        temp.handle.reset(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (temp.handle) {
            temp.path = std::move(name);
            return;
        }
        error = ::GetLastError();
    }
    ThrowCannotCreate(target, error);
}

// The replacement must be refused wherever writing the file in place would
// be: a folder of that name, a read-only file, no access, a handle that
// does not share writing. The probe changes nothing. The read-only
// attribute is checked on its own: where the platform lets the caller open
// such a file for writing (Wine running as root), the rename would
// otherwise replace it.
void CheckWritable(const std::wstring& path)
{
    desktop::FileHandle probe(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) ThrowCannotCreate(path, error);
        return;  // a missing file is created
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(probe.get(), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        ThrowCannotCreate(path, ERROR_ACCESS_DENIED);
}

}  // namespace

std::wstring CannotOpenMessage(const std::wstring& path, DWORD error)
{
    return L"ファイル " + path + L" は開けません。 " + desktop::SystemErrorText(error) + L" ";
}

std::wstring CannotCreateMessage(const std::wstring& path, DWORD error)
{
    return desktop::CannotCreateFileMessage(path, desktop::SystemErrorText(error));
}

std::wstring WriteErrorMessage() { return desktop::kStreamWriteErrorMessage; }

FileWriter& SystemFileWriter()
{
    static Win32FileWriter writer;
    return writer;
}

SettingsStorage& SystemSettingsStorage()
{
    static FileSettingsStorage storage;
    return storage;
}

std::optional<std::string> FileSettingsStorage::Load(const std::wstring& path)
{
    // Others may read the file while we do, but not write it.
    desktop::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (IsMissingPathError(::GetLastError()) || IsMissingPathError(error)) return std::nullopt;
        } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return std::nullopt;
        }
        ThrowCannotOpen(path, error);
    }

    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) ThrowCannotOpen(path, ::GetLastError());
    if (static_cast<ULONGLONG>(size.QuadPart) > kMaxSettingsFileSize)
        ThrowCannotOpen(path, ERROR_FILE_TOO_LARGE);

    std::string bytes;
    bytes.reserve(static_cast<size_t>(size.QuadPart));
    char block[4096];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), block, sizeof block, &read, nullptr))
            ThrowCannotOpen(path, ::GetLastError());
        if (read == 0) break;
        if (bytes.size() + read > kMaxSettingsFileSize) ThrowCannotOpen(path, ERROR_FILE_TOO_LARGE);
        bytes.append(block, read);
    }
    return bytes;
}

void FileSettingsStorage::Save(const std::wstring& path, std::string_view bytes)
{
    CheckWritable(path);

    TemporaryFile temp;
    CreateBeside(path, temp);

    const char* next = bytes.data();
    size_t remaining = bytes.size();
    while (remaining > 0) {
        const DWORD block = static_cast<DWORD>(std::min<size_t>(remaining, kBlockSize));
        DWORD written = 0;
        if (!m_writer.Write(temp.handle.get(), next, block, written) || written == 0 ||
            written > block)
            ThrowWriteError();
        next += written;
        remaining -= written;
    }
    // On disk before it takes the old file's place.
    if (!::FlushFileBuffers(temp.handle.get())) ThrowWriteError();
    temp.handle.reset();

    if (!::MoveFileExW(temp.path.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowCannotCreate(path, ::GetLastError());
    temp.Committed();
}

}  // namespace app
