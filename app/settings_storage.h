// Where the settings copy's bytes come from and go to.
//
// The file is read with others allowed to read but not to write it. It is
// replaced through a temporary file in the same folder, written while
// nobody else may open it, and renamed over the old file at once: a write
// that fails part way (a full disk) leaves the old file whole. Every failure
// is an EAppError with the message the user sees.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace app {

class SettingsStorage {
public:
    virtual ~SettingsStorage() = default;
    // All bytes of the file; nothing when no file of that name exists (a
    // folder of that name counts as none).
    virtual std::optional<std::string> Load(const std::wstring& path) = 0;
    // Replaces the whole content of the file, creating it when missing.
    virtual void Save(const std::wstring& path, std::string_view bytes) = 0;
};

// Writing a block of bytes to an open file: the one operation a test makes
// fail part way.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // WriteFile: true with `written` set on success; on false the thread's
    // last error tells why.
    virtual bool Write(HANDLE file, const char* data, DWORD size, DWORD& written) = 0;
};

FileWriter& SystemFileWriter();

class FileSettingsStorage final : public SettingsStorage {
public:
    explicit FileSettingsStorage(FileWriter& writer = SystemFileWriter()) : m_writer(writer) {}
    std::optional<std::string> Load(const std::wstring& path) override;
    void Save(const std::wstring& path, std::string_view bytes) override;

private:
    FileWriter& m_writer;
};

// The real files, written with SystemFileWriter.
SettingsStorage& SystemSettingsStorage();

// The messages of the settings file's failures.
std::wstring CannotOpenMessage(const std::wstring& path, DWORD error);
std::wstring CannotCreateMessage(const std::wstring& path, DWORD error);
std::wstring WriteErrorMessage();

}  // namespace app
