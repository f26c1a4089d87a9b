// The release zip as a user gets it. tools/package-test unpacks it into a
// fresh folder of a fresh Wine prefix and names the zip and that folder in
// QUILLOW_PACKAGE_ZIP and QUILLOW_PACKAGE_FOLDER: the zip's entries, the
// unpacked binaries and guides, and the unpacked quillow.exe started from
// its folder, capturing a window with a real click.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fixtures/hook_target.h"
#include "support/hook_target_process.h"
#include "support/quillow_process.h"

using namespace testsupport;

namespace {

using TBytes = std::vector<std::uint8_t>;

std::wstring FromEnvironment(const wchar_t* name)
{
    std::wstring value(32768, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

std::wstring PackageFolder() { return FromEnvironment(L"QUILLOW_PACKAGE_FOLDER"); }

TBytes ReadAll(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                                nullptr)));
    return bytes;
}

std::uint16_t U16(const TBytes& bytes, std::size_t at)
{
    return at + 2 <= bytes.size() ? static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8) : 0;
}

std::uint32_t U32(const TBytes& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(U16(bytes, at) | U16(bytes, at + 2) << 16);
}

constexpr std::uint16_t kUtf8NameFlag = 0x0800;

// The files of the package, in the zip's order.
const wchar_t* const kPackageFiles[] = {L"quillow.exe", L"quillow.dll", L"はじめにお読みください.txt", L"README.txt"};

std::wstring VersionText()
{
    return std::to_wstring(QUILLOW_VERSION_MAJOR) + L"." + std::to_wstring(QUILLOW_VERSION_MINOR) + L"." +
           std::to_wstring(QUILLOW_VERSION_PATCH);
}

// One entry as the zip's central directory and the entry's local header
// describe it.
struct TZipEntry {
    std::string Name;
    std::string LocalName;
    std::uint16_t Flags = 0, LocalFlags = 0;
    std::uint16_t Time = 0, Date = 0;
    std::uint16_t ExtraLength = 0, LocalExtraLength = 0, CommentLength = 0;
};

// The entries of a zip without an archive comment; empty when its end
// record is not where such a zip has it.
std::vector<TZipEntry> ZipEntries(const TBytes& zip)
{
    constexpr std::size_t kEndRecordSize = 22;
    std::vector<TZipEntry> entries;
    if (zip.size() < kEndRecordSize) return entries;
    const std::size_t end = zip.size() - kEndRecordSize;
    if (U32(zip, end) != 0x06054B50) return entries;
    const std::uint16_t count = U16(zip, end + 10);
    std::size_t at = U32(zip, end + 16);
    for (std::uint16_t i = 0; i < count && U32(zip, at) == 0x02014B50; ++i) {
        TZipEntry entry;
        entry.Flags = U16(zip, at + 8);
        entry.Time = U16(zip, at + 12);
        entry.Date = U16(zip, at + 14);
        const std::uint16_t nameLength = U16(zip, at + 28);
        entry.ExtraLength = U16(zip, at + 30);
        entry.CommentLength = U16(zip, at + 32);
        const std::size_t local = U32(zip, at + 42);
        if (at + 46 + nameLength > zip.size() || local + 30 > zip.size() || U32(zip, local) != 0x04034B50) break;
        entry.Name.assign(zip.begin() + at + 46, zip.begin() + at + 46 + nameLength);
        entry.LocalFlags = U16(zip, local + 6);
        const std::uint16_t localNameLength = U16(zip, local + 26);
        entry.LocalExtraLength = U16(zip, local + 28);
        if (local + 30 + localNameLength > zip.size()) break;
        entry.LocalName.assign(zip.begin() + local + 30, zip.begin() + local + 30 + localNameLength);
        entries.push_back(entry);
        at += 46 + nameLength + entry.ExtraLength + entry.CommentLength;
    }
    return entries;
}

TEST(PackageZip, HoldsTheFourFilesInOrderWithUtf8NamesAndNoExtraFields)
{
    const std::wstring zipPath = FromEnvironment(L"QUILLOW_PACKAGE_ZIP");
    ASSERT_FALSE(zipPath.empty()) << "run through tools/package-test";
    EXPECT_NE(zipPath.find(L"quillow-" + VersionText() + L"-win32.zip"), std::wstring::npos) << "the zip's name";
    const std::vector<TZipEntry> entries = ZipEntries(ReadAll(zipPath));
    ASSERT_EQ(entries.size(), std::size(kPackageFiles));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TZipEntry& entry = entries[i];
        SCOPED_TRACE(entry.Name);
        EXPECT_EQ(entry.Name, Utf8(kPackageFiles[i]));
        EXPECT_EQ(entry.LocalName, entry.Name);
        // Windows' own extraction reads a name as UTF-8 only with the flag.
        const bool ascii = entry.Name.size() == std::wstring(kPackageFiles[i]).size();
        if (!ascii) {
            EXPECT_TRUE(entry.Flags & kUtf8NameFlag);
            EXPECT_TRUE(entry.LocalFlags & kUtf8NameFlag);
        }
        EXPECT_EQ(entry.ExtraLength, 0);
        EXPECT_EQ(entry.LocalExtraLength, 0);
        EXPECT_EQ(entry.CommentLength, 0);
        // One time for all: the bytes do not depend on when the files were made.
        EXPECT_EQ(entry.Time, entries[0].Time);
        EXPECT_EQ(entry.Date, entries[0].Date);
    }

    // Unpacked, the folder holds these files and nothing else.
    std::set<std::wstring> unpacked;
    for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(PackageFolder())))
        unpacked.insert(item.path().filename().wstring());
    EXPECT_EQ(unpacked, std::set<std::wstring>(std::begin(kPackageFiles), std::end(kPackageFiles)));
}

TEST(PackageGuides, AreUtf8WithByteOrderMarkAndCrLfAndNameTheFactsTheProgramUses)
{
    for (const wchar_t* name : {L"はじめにお読みください.txt", L"README.txt"}) {
        SCOPED_TRACE(Utf8(name));
        const TBytes bytes = ReadAll(PackageFolder() + name);
        ASSERT_GE(bytes.size(), 3u);
        EXPECT_TRUE(bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) << "UTF-8 byte-order mark";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool lineFeedAfterCr = bytes[i] != '\n' || (i > 0 && bytes[i - 1] == '\r');
            const bool crBeforeLineFeed = bytes[i] != '\r' || (i + 1 < bytes.size() && bytes[i + 1] == '\n');
            ASSERT_TRUE(lineFeedAfterCr && crBeforeLineFeed) << "a line end other than CR LF at byte " << i;
        }
        ASSERT_TRUE(bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r' && bytes.back() == '\n') << "last line ended";
        const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                                 reinterpret_cast<const char*>(bytes.data()) + 3,
                                                 static_cast<int>(bytes.size() - 3), nullptr, 0);
        ASSERT_GT(length, 0) << "valid UTF-8";
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes.data()) + 3,
                              static_cast<int>(bytes.size() - 3), text.data(), length);
        for (const std::wstring& fact : {VersionText(), std::wstring(L"%APPDATA%\\Morvanta\\quillow\\quillow.ini"),
                                         std::wstring(L"quillow.dll"), std::wstring(L"処理"),
                                         std::wstring(L"アイコンを保存")})
            EXPECT_NE(text.find(fact), std::wstring::npos) << Utf8(fact);
        EXPECT_EQ(text.find(L"@VERSION@"), std::wstring::npos);
    }
}

std::wstring VersionString(const TBytes& info, const std::wstring& block, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\" + block + L"\\" + name;
    if (!::VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(PackageBinaries, CarryTheVersionResource)
{
    struct Case {
        const wchar_t* file;
        DWORD fileType;
    };
    for (const Case& c : {Case{L"quillow.exe", VFT_APP}, Case{L"quillow.dll", VFT_DLL}}) {
        SCOPED_TRACE(Utf8(c.file));
        const std::wstring path = PackageFolder() + c.file;
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        TBytes info(size);
        ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_GE(length, sizeof *fixed);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        const DWORD major = QUILLOW_VERSION_MAJOR << 16 | QUILLOW_VERSION_MINOR;
        const DWORD minor = static_cast<DWORD>(QUILLOW_VERSION_PATCH) << 16;
        EXPECT_EQ(fixed->dwFileVersionMS, major);
        EXPECT_EQ(fixed->dwFileVersionLS, minor);
        EXPECT_EQ(fixed->dwProductVersionMS, major);
        EXPECT_EQ(fixed->dwProductVersionLS, minor);
        EXPECT_EQ(fixed->dwFileType, c.fileType);
        EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask & (VS_FF_DEBUG | VS_FF_PRERELEASE), 0u);

        // The strings of the first translation, as Explorer shows them.
        struct Translation {
            WORD language, codePage;
        }* translations = nullptr;
        ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                                     reinterpret_cast<void**>(&translations), &length));
        ASSERT_GE(length, sizeof *translations);
        wchar_t block[9]{};
        std::swprintf(block, 9, L"%04x%04x", translations->language, translations->codePage);
        EXPECT_EQ(VersionString(info, block, L"ProductName"), L"quillow");
        EXPECT_EQ(VersionString(info, block, L"CompanyName"), L"Morvanta");
        EXPECT_EQ(VersionString(info, block, L"FileVersion"), VersionText());
        EXPECT_EQ(VersionString(info, block, L"ProductVersion"), VersionText());
        EXPECT_EQ(VersionString(info, block, L"OriginalFilename"), c.file);
        const std::wstring description = VersionString(info, block, L"FileDescription");
        EXPECT_NE(description, L"<none>");
        EXPECT_NE(description.find(L"quillow"), std::wstring::npos) << Utf8(description);
    }
}

TEST(PackageBinaries, Are32BitWithoutSymbolsOrLinkTimeAndSmall)
{
    std::uintmax_t total = 0;
    for (const wchar_t* file : {L"quillow.exe", L"quillow.dll"}) {
        SCOPED_TRACE(Utf8(file));
        const TBytes image = ReadAll(PackageFolder() + file);
        total += image.size();
        ASSERT_GE(image.size(), sizeof(IMAGE_DOS_HEADER));
        IMAGE_DOS_HEADER dos;
        std::memcpy(&dos, image.data(), sizeof dos);
        ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
        const auto headersAt = static_cast<std::size_t>(dos.e_lfanew);
        ASSERT_LE(headersAt + sizeof(IMAGE_NT_HEADERS32), image.size());
        IMAGE_NT_HEADERS32 headers;
        std::memcpy(&headers, image.data() + headersAt, sizeof headers);
        ASSERT_EQ(headers.Signature, IMAGE_NT_SIGNATURE);
        EXPECT_EQ(headers.FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
        EXPECT_EQ(headers.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
        // No symbol table; the same sources give the same file.
        EXPECT_EQ(headers.FileHeader.PointerToSymbolTable, 0u);
        EXPECT_EQ(headers.FileHeader.NumberOfSymbols, 0u);
        EXPECT_EQ(headers.FileHeader.TimeDateStamp, 0u);
        // No debug sections: their names are ".debug_..." or, longer than
        // eight characters, "/n" into the symbols' string table.
        const std::size_t sectionsAt =
            headersAt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + headers.FileHeader.SizeOfOptionalHeader;
        for (WORD i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section;
            ASSERT_LE(sectionsAt + (i + 1) * sizeof section, image.size());
            std::memcpy(&section, image.data() + sectionsAt + i * sizeof section, sizeof section);
            const std::string name(reinterpret_cast<const char*>(section.Name),
                                   strnlen(reinterpret_cast<const char*>(section.Name), IMAGE_SIZEOF_SHORT_NAME));
            EXPECT_NE(name.rfind(".debug", 0), 0u) << name;
            EXPECT_NE(name.rfind("/", 0), 0u) << name;
        }
    }
    EXPECT_LT(total, 1000u * 1000u) << "exe and dll together";
}

std::vector<std::wstring> LinesOf(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::wstring HandleText(HWND window)
{
    wchar_t text[16]{};
    std::swprintf(text, 16, L"%08lX", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

TEST(PackageRun, TheUnpackedQuillowCapturesAPressedControlAndWritesItsSettingsOnClose)
{
    const std::wstring settings = QuillowDataFolder() + L"quillow.ini";
    ASSERT_EQ(::GetFileAttributesW(QuillowDataFolder().c_str()), INVALID_FILE_ATTRIBUTES)
        << "a fresh prefix has no data folder";

    TProgram quillow(TProgramPath{PackageFolder() + L"quillow.exe"});
    const HWND form = quillow.WaitForWindow(L"TMainForm", 60000);
    ASSERT_NE(form, nullptr) << "quillow.exe did not open its window";
    // Out of the target's way.
    ::SetWindowPos(form, nullptr, 0, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const HWND panel = ChildrenOf(form, L"TPanel").at(0);
    const HWND toolbar = ChildrenOf(panel, L"ToolbarWindow32").at(0);
    const HWND report = ChildrenOf(panel, L"Edit").at(0);
    ASSERT_TRUE(WaitUntil([&] { return IsToolButtonDown(toolbar, L"処理") && IsToolButtonDown(toolbar, L"左ボタン"); }));

    HookTargetProcess target;
    ASSERT_TRUE(target.Start());
    const HWND control = target.Control(hook_target::kCheckBoxId);
    ASSERT_TRUE(ClickAt(ScreenCentreOf(control), MouseButton::Left));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto lines = LinesOf(WindowText(report));
            return lines.size() >= 7 && lines[4] == L"ハンドル:" + HandleText(control);
        },
        20000))
        << "report:\n"
        << Utf8(WindowText(report));
    const auto lines = LinesOf(WindowText(report));
    EXPECT_EQ(lines[2], L"クラス:Button");
    EXPECT_EQ(lines.back().rfind(L"プログラム:", 0), 0u);
    EXPECT_NE(lines.back().find(L"hook_target.exe"), std::wstring::npos);

    ::PostMessageW(form, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(quillow.WaitForExit(exitCode, 30000));
    EXPECT_EQ(exitCode, 0u);
    const TBytes written = ReadAll(settings);
    const std::string text(written.begin(), written.end());
    EXPECT_EQ(text.rfind("[Form]\r\nMAX=0\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\nMostTop=0\r\nButton=0\r\n"), std::string::npos) << text;
}

}  // namespace
