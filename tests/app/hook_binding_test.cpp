// quillow.exe is bound to quillow.dll when Windows loads it: its import
// table names the library and both functions by name, the library exports
// them under their bare names, and without the library the program does
// not start.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "desktop/handles.h"
#include "support/bin_folder.h"

namespace {

// The few parts of a PE file these tests read, with every read bounds-checked.
class PeFile {
public:
    explicit PeFile(const std::wstring& path)
    {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        Parse();
    }

    bool Valid() const { return m_valid; }

    // Names imported from `library` (compared without case); ordinal imports as "#n".
    std::vector<std::string> ImportsFrom(const std::string& library) const
    {
        std::vector<std::string> names;
        const auto directory = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        auto offset = directory ? ToOffset(directory->VirtualAddress) : std::nullopt;
        if (!offset) return names;
        for (IMAGE_IMPORT_DESCRIPTOR descriptor{}; Read(*offset, descriptor) && descriptor.Name != 0;
             *offset += sizeof descriptor) {
            if (!EqualNoCase(StringAt(descriptor.Name), library)) continue;
            const DWORD thunks = descriptor.OriginalFirstThunk != 0 ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
            auto thunk = ToOffset(thunks);
            for (; thunk; *thunk += m_thunkSize) {
                ULONGLONG entry = 0;
                if (!ReadBytes(*thunk, &entry, m_thunkSize) || entry == 0) break;
                const ULONGLONG ordinalFlag = m_thunkSize == 8 ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
                if (entry & ordinalFlag) {
                    std::string ordinal(1, '#');
                    ordinal.append(std::to_string(entry & 0xFFFF));
                    names.push_back(ordinal);
                } else {
                    names.push_back(StringAt(static_cast<DWORD>(entry) + sizeof(WORD)));  // after the hint
                }
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> ExportNames() const
    {
        std::vector<std::string> names;
        const auto directory = Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
        const auto offset = directory ? ToOffset(directory->VirtualAddress) : std::nullopt;
        IMAGE_EXPORT_DIRECTORY exports{};
        if (!offset || !Read(*offset, exports)) return names;
        const auto table = ToOffset(exports.AddressOfNames);
        for (DWORD i = 0; table && i < exports.NumberOfNames; ++i) {
            DWORD name = 0;
            if (!Read(*table + i * sizeof(DWORD), name)) break;
            names.push_back(StringAt(name));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    template <typename T>
    bool Read(std::size_t offset, T& value) const
    {
        return ReadBytes(offset, &value, sizeof value);
    }
    bool ReadBytes(std::size_t offset, void* out, std::size_t size) const
    {
        if (offset > m_bytes.size() || size > m_bytes.size() - offset) return false;
        std::memcpy(out, m_bytes.data() + offset, size);
        return true;
    }
    static bool EqualNoCase(const std::string& a, const std::string& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    }
    std::string StringAt(DWORD rva) const
    {
        std::string text;
        auto offset = ToOffset(rva);
        for (char c = 0; offset && Read(*offset, c) && c != '\0'; ++*offset) text += c;
        return text;
    }
    std::optional<std::size_t> ToOffset(DWORD rva) const
    {
        for (const auto& section : m_sections) {
            const DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size)
                return std::size_t{section.PointerToRawData} + (rva - section.VirtualAddress);
        }
        return std::nullopt;
    }
    std::optional<IMAGE_DATA_DIRECTORY> Directory(int index) const
    {
        if (index >= static_cast<int>(m_directories.size())) return std::nullopt;
        return m_directories[index];
    }

    void Parse()
    {
        IMAGE_DOS_HEADER dos{};
        if (!Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return;
        const std::size_t nt = static_cast<std::size_t>(dos.e_lfanew);
        DWORD signature = 0;
        IMAGE_FILE_HEADER header{};
        WORD magic = 0;
        if (!Read(nt, signature) || signature != IMAGE_NT_SIGNATURE || !Read(nt + sizeof signature, header)) return;
        const std::size_t optional = nt + sizeof signature + sizeof header;
        if (!Read(optional, magic)) return;
        DWORD count = 0;
        std::size_t directories = 0;
        if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
            IMAGE_OPTIONAL_HEADER32 o{};
            if (!Read(optional, o)) return;
            count = o.NumberOfRvaAndSizes;
            directories = optional + offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
            m_thunkSize = 4;
        } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
            IMAGE_OPTIONAL_HEADER64 o{};
            if (!Read(optional, o)) return;
            count = o.NumberOfRvaAndSizes;
            directories = optional + offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory);
            m_thunkSize = 8;
        } else {
            return;
        }
        for (DWORD i = 0; i < std::min<DWORD>(count, IMAGE_NUMBEROF_DIRECTORY_ENTRIES); ++i) {
            IMAGE_DATA_DIRECTORY d{};
            if (!Read(directories + i * sizeof d, d)) return;
            m_directories.push_back(d);
        }
        const std::size_t sections = optional + header.SizeOfOptionalHeader;
        for (WORD i = 0; i < header.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s{};
            if (!Read(sections + i * sizeof s, s)) return;
            m_sections.push_back(s);
        }
        m_valid = true;
    }

    std::vector<char> m_bytes;
    std::vector<IMAGE_DATA_DIRECTORY> m_directories;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
    std::size_t m_thunkSize = 4;
    bool m_valid = false;
};

const std::vector<std::string> kHookFunctions{"Func_InstallMHook", "Func_UnInstallMHook"};

TEST(HookBinding, QuillowExeImportsBothFunctionsByNameFromQuillowDll)
{
    const PeFile exe(testsupport::BinFolder() + L"quillow.exe");
    ASSERT_TRUE(exe.Valid());
    EXPECT_EQ(exe.ImportsFrom("quillow.dll"), kHookFunctions);
}

TEST(HookBinding, QuillowDllExportsTheBareNames)
{
    const PeFile dll(testsupport::BinFolder() + L"quillow.dll");
    ASSERT_TRUE(dll.Valid());
    EXPECT_EQ(dll.ExportNames(), kHookFunctions);
}

#if defined(__GNUC__) && defined(__i386__)
// Calls `function(window, code)` with both arguments pushed right to left,
// as the program's bound import does, and gives how many bytes of them are
// still on the stack when it returns: 0 when the callee removed them.
int ArgumentBytesLeftByCall(FARPROC function, HWND window, int code)
{
    int left = 0;
    // The call may change eax, ecx and edx, so the inputs travel in them.
    asm volatile(
        "movl %%esp, %%esi\n\t"
        "pushl %%eax\n\t"
        "pushl %%ecx\n\t"
        "call *%%edx\n\t"
        "movl %%esi, %[left]\n\t"
        "subl %%esp, %[left]\n\t"
        "movl %%esi, %%esp\n\t"
        : [left] "=&r"(left), "+a"(code), "+c"(window), "+d"(function)
        :
        : "esi", "memory", "cc");
    return left;
}
#endif

// The program calls the library with the platform's standard call
// convention: on x86 the library itself must remove the two arguments.
TEST(HookBinding, TheLibraryRemovesItsOwnArguments)
{
#if defined(__GNUC__) && defined(__i386__)
    desktop::ModuleHandle library(::LoadLibraryW((testsupport::BinFolder() + L"quillow.dll").c_str()));
    ASSERT_TRUE(library);
    const FARPROC install = ::GetProcAddress(library.get(), "Func_InstallMHook");
    const FARPROC uninstall = ::GetProcAddress(library.get(), "Func_UnInstallMHook");
    ASSERT_NE(install, nullptr);
    ASSERT_NE(uninstall, nullptr);
    // Code -1 sets no hook, so the call has no lasting effect.
    EXPECT_EQ(ArgumentBytesLeftByCall(install, nullptr, -1), 0);
    reinterpret_cast<BOOL(WINAPI*)()>(uninstall)();
#else
    GTEST_SKIP() << "only 32-bit x86 has a caller-cleaned convention to confuse it with";
#endif
}

// A folder of its own under the temporary folder, removed with its files.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::array<wchar_t, MAX_PATH + 1> temp{};
        ::GetTempPathW(MAX_PATH, temp.data());
        m_path = std::wstring(temp.data()) + L"quillow-hook-binding-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        for (const auto& file : m_files) ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(m_path.c_str());
    }
    bool CopyIn(const std::wstring& source, const std::wstring& name)
    {
        m_files.push_back(m_path + name);
        return ::CopyFileW(source.c_str(), m_files.back().c_str(), FALSE) != FALSE;
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

TEST(HookBinding, QuillowExeDoesNotStartWithoutTheLibrary)
{
    ScratchFolder folder;
    ASSERT_TRUE(folder.CopyIn(testsupport::BinFolder() + L"quillow.exe", L"quillow.exe"));
    std::wstring commandLine = L"\"" + folder.Path() + L"quillow.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                          &startup, &started)) {
        const DWORD error = ::GetLastError();
        // Outside an elevated session Windows asks for elevation before it loads anything.
        constexpr DWORD kErrorElevationRequired = 740;
        if (error == kErrorElevationRequired) GTEST_SKIP() << "needs an elevated test run";
        FAIL() << "CreateProcessW failed with error " << error;
    }
    desktop::KernelHandle process(started.hProcess), thread(started.hThread);
    constexpr DWORD kStatusDllNotFound = 0xC0000135;
    if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 10000);
        FAIL() << "quillow.exe ran without quillow.dll beside it";
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, kStatusDllNotFound);
}

}  // namespace
