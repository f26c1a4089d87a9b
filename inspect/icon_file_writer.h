// Writing an icon file: the file is created anew and all bytes written, or
// the failure is raised with the message the user sees.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace inspect {

// The file calls WriteNewFile makes, so a fake can drive it.
class TFileApi {
public:
    virtual ~TFileApi() = default;
    // CreateFileW(read and write, no sharing, CREATE_ALWAYS, normal):
    // INVALID_HANDLE_VALUE and the error code on failure.
    virtual HANDLE CreateNew(const std::wstring& path, DWORD& error) = 0;
    virtual bool Write(HANDLE file, const std::uint8_t* data, DWORD size, DWORD& written) = 0;
    virtual void Close(HANDLE file) = 0;
};

TFileApi& Win32FileApi();

// Creates `path` anew (an existing file is emptied) and writes `bytes`.
// Raises EAppError with the messages of desktop/file_error_messages.h:
// CannotCreateFileMessage when the file cannot be created,
// kStreamWriteErrorMessage when writing stops short. The file is closed
// on every path.
void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes);
void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes, TFileApi& api);

}  // namespace inspect
