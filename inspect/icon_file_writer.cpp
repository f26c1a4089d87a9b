#include "inspect/icon_file_writer.h"

#include <algorithm>
#include <limits>

#include "desktop/app_error.h"
#include "desktop/file_error_messages.h"

namespace inspect {

namespace {

class Win32Files final : public TFileApi {
public:
    HANDLE CreateNew(const std::wstring& path, DWORD& error) override
    {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        error = file == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
        return file;
    }
    bool Write(HANDLE file, const std::uint8_t* data, DWORD size, DWORD& written) override
    {
        return ::WriteFile(file, data, size, &written, nullptr) != FALSE;
    }
    void Close(HANDLE file) override { ::CloseHandle(file); }
};

class OpenFile {
public:
    OpenFile(TFileApi& api, HANDLE file) : m_api(api), m_file(file) {}
    ~OpenFile() { m_api.Close(m_file); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    HANDLE get() const { return m_file; }

private:
    TFileApi& m_api;
    HANDLE m_file;
};

}  // namespace

TFileApi& Win32FileApi()
{
    static Win32Files api;
    return api;
}

void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes)
{
    WriteNewFile(path, bytes, Win32FileApi());
}

void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes, TFileApi& api)
{
    DWORD error = ERROR_SUCCESS;
    HANDLE handle = api.CreateNew(path, error);
    if (handle == INVALID_HANDLE_VALUE)
        throw desktop::EAppError(desktop::CannotCreateFileMessage(path, desktop::SystemErrorText(error)));
    OpenFile file(api, handle);

    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(
            std::min<std::size_t>(bytes.size() - done, std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!api.Write(file.get(), bytes.data() + done, chunk, written) || written == 0)
            throw desktop::EAppError(desktop::kStreamWriteErrorMessage);
        done += std::min<std::size_t>(written, chunk);
    }
}

}  // namespace inspect
