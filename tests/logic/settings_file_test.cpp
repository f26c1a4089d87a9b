// The settings copy: reading, changing and writing an INI text held in a
// fake storage, with the encodings of real files.
#include <gtest/gtest.h>

#include <string>

#include "app/settings_file.h"
#include "support/settings_fakes.h"

using app::TSettingsFile;
using testsupport::MemorySettingsStorage;

namespace {

constexpr wchar_t kPath[] = L"C:\\data\\quillow.ini";
constexpr unsigned kShiftJis = 932;
constexpr unsigned kWesternEurope = 1252;

// A settings copy of `bytes` (ASCII or the given code page), its storage
// kept beside it so the written bytes can be read back.
struct Loaded {
    explicit Loaded(std::string bytes, unsigned codePage = kWesternEurope)
    {
        storage.files[kPath] = std::move(bytes);
        settings.emplace(kPath, storage, codePage);
    }
    std::string Written()
    {
        settings->UpdateFile();
        return storage.files[kPath];
    }
    MemorySettingsStorage storage;
    std::optional<TSettingsFile> settings;
};

std::string Utf16(std::wstring_view text, bool bigEndian)
{
    std::string bytes;
    for (wchar_t c : text) {
        const char high = static_cast<char>((c >> 8) & 0xFF), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace

TEST(SettingsReadInteger, ValueTable)
{
    constexpr int kDefault = 77;
    struct Case {
        const char* line;  // the whole entry line under [Form]
        int expected;
    } cases[] = {
        {"K=50", 50},
        {"K=+50", 50},
        {"K=0050", 50},
        {"K=-8", -8},
        {"K=0x20", 32},
        {"K=0X20", 32},
        {"K=$20", 32},
        {"K=x20", 32},
        {"K=X20", 32},
        {"K=$ff", 255},
        {"K=$FFFFFFFF", -1},
        {"K=0xFFFFFFFF", -1},
        {"K=$80000000", INT_MIN},
        {"K=$00000010", 16},
        {"K=-$10", -16},
        {"K=-0x10", -16},
        {"K=+$10", 16},
        {"K=-x10", -16},
        {"K=2147483647", INT_MAX},
        {"K=-2147483648", INT_MIN},
        {"K=0000000000000000000000050", 50},
        {"K=0", 0},
        {"K=-0", 0},
        {"K=2147483648", kDefault},
        {"K=-2147483649", kDefault},
        {"K=99999999999999999999", kDefault},
        {"K=$123456789", kDefault},
        {"K=$000000010", kDefault},  // a ninth digit, even a leading zero
        {"K=20px", kDefault},
        {"K=1e3", kDefault},
        {"K=true", kDefault},
        {"K=", kDefault},
        {"K", kDefault},  // a key without "="
        {"K=0x", kDefault},
        {"K=$", kDefault},
        {"K=x", kDefault},
        {"K=-", kDefault},
        {"K=+", kDefault},
        {"K=--1", kDefault},
        {"K=+-1", kDefault},
        {"K=$-1", kDefault},
        {"K=0x0x1", kDefault},
        {"K=$1G", kDefault},
        {"K=5 5", kDefault},
        {"K=\xEF\xBC\x95", kDefault},  // a full-width digit five
    };
    for (const Case& c : cases) {
        Loaded file(std::string("\xEF\xBB\xBF[Form]\r\n") + c.line + "\r\n");
        EXPECT_EQ(file.settings->ReadInteger(L"Form", L"K", kDefault), c.expected) << c.line;
    }
    // A missing section or key gives the default too.
    Loaded file("[Form]\r\nK=5\r\n");
    EXPECT_EQ(file.settings->ReadInteger(L"Other", L"K", kDefault), kDefault);
    EXPECT_EQ(file.settings->ReadInteger(L"Form", L"L", kDefault), kDefault);
}

TEST(SettingsReadBool, AnyIntegerButZeroIsTrue)
{
    struct Case {
        const char* line;
        bool fallback;
        bool expected;
    } cases[] = {
        {"B=1", false, true},   {"B=0", true, false},     {"B=2", false, true},
        {"B=-1", false, true},  {"B=$0", true, false},    {"B=true", false, false},
        {"B=true", true, true}, {"B=", true, true},       {"B", false, false},
        {"X=1", false, false},  {"X=1", true, true},
    };
    for (const Case& c : cases) {
        Loaded file(std::string("[Form]\r\n") + c.line + "\r\n");
        EXPECT_EQ(file.settings->ReadBool(L"Form", L"B", c.fallback), c.expected)
            << c.line << " fallback " << c.fallback;
    }
}

TEST(SettingsLookup, NamesFoundWithoutRegardToCaseAndKeptAsSpelled)
{
    Loaded file("[FORM]\r\ntop=50\r\n");
    EXPECT_EQ(file.settings->ReadInteger(L"Form", L"Top", 0), 50);
    file.settings->WriteInteger(L"Form", L"Top", 61);
    file.settings->WriteInteger(L"form", L"Left", 7);
    EXPECT_EQ(file.Written(), "[FORM]\r\ntop=61\r\nLeft=7\r\n\r\n");
}

TEST(SettingsLookup, CaseIsFoldedByTheLocaleNotOnlyForAscii)
{
    // "ä" and "Ä", full-width "ａ" and "Ａ"
    Loaded file("\xEF\xBB\xBF[\xC3\xA4rger]\r\n\xEF\xBD\x81=1\r\n");
    EXPECT_EQ(file.settings->ReadInteger(L"\u00C4RGER", L"\uFF21", 0), 1);
}

TEST(SettingsLookup, FirstOfARepeatedKeyCountsForReadingAndChanging)
{
    Loaded file("[Form]\r\nTop=1\r\nTOP=2\r\n");
    EXPECT_EQ(file.settings->ReadInteger(L"Form", L"Top", 0), 1);
    file.settings->WriteInteger(L"Form", L"top", 3);
    EXPECT_EQ(file.Written(), "[Form]\r\nTop=3\r\nTOP=2\r\n\r\n");
}

TEST(SettingsLookup, KeyWithoutValueReadsAsMissingAndGetsOneWhenWritten)
{
    Loaded file("[Form]\r\nTop\r\n");
    EXPECT_EQ(file.settings->ReadString(L"Form", L"Top", L"none"), L"none");
    file.settings->WriteString(L"Form", L"TOP", L"5");
    EXPECT_EQ(file.Written(), "[Form]\r\nTop=5\r\n\r\n");
}

// Everything the reading rules drop or reshape, and how the copy is
// written back: one entry per line as name=value, one empty line after each
// section, CR LF everywhere.
TEST(SettingsText, ReadingRulesAndTheWrittenText)
{
    struct Case {
        const char* name;
        const char* file;
        const char* written;
    } cases[] = {
        {"blanks around the equals sign and after the value", "[Form]\r\nTop = 50  \r\n",
         "[Form]\r\nTop=50\r\n\r\n"},
        {"control characters trimmed like blanks", "\t[ Form ]\x01\r\n\x02Top\t=\x1F" "50\x7F\r\n",
         "[Form]\r\nTop=50\x7F\r\n\r\n"},
        {"comment, blank line, line before the first header, second block",
         "stray=1\r\n; comment\r\n[Form]\r\n\r\nTop=50\r\n  ;indented comment\r\n[form]\r\nTop=99\r\nLeft=3\r\n",
         "[Form]\r\nTop=50\r\n\r\n"},
        {"lines end at CR LF, LF or CR", "[Form]\nTop=1\rLeft=2\r\n\r\rWidth=3",
         "[Form]\r\nTop=1\r\nLeft=2\r\nWidth=3\r\n\r\n"},
        {"only the first equals sign splits", "[Form]\r\nA = b = c\r\n",
         "[Form]\r\nA=b = c\r\n\r\n"},
        {"other sections keep their places", "[Before]\r\nx=1\r\n[Form]\r\nTop=1\r\n[After]\r\ny\r\n",
         "[Before]\r\nx=1\r\n\r\n[Form]\r\nTop=1\r\n\r\n[After]\r\ny\r\n\r\n"},
        {"a repeated section's lines are dropped, the next section is not",
         "[A]\r\na=1\r\n[B]\r\nb=1\r\n[a]\r\nlost=1\r\n[C]\r\nc=1\r\n",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n\r\n[C]\r\nc=1\r\n\r\n"},
        {"bracketed line inside a section that is no header", "[Form]\r\n[Top\r\n",
         "[Form]\r\n[Top\r\n\r\n"},
        {"nothing but noise", "; only a comment\r\n\r\nfree text\r\n", ""},
        {"empty file", "", ""},
    };
    for (const Case& c : cases) {
        Loaded file(c.file);
        EXPECT_EQ(file.Written(), c.written) << c.name;
    }
}

TEST(SettingsText, ChangesAppendKeysAndSectionsAtTheEnd)
{
    Loaded file("[Other]\r\nk=v\r\n[Form]\r\nTop=1\r\n[Last]\r\n");
    file.settings->WriteString(L"Form", L"Left", L"2");
    file.settings->WriteString(L"New", L"A", L"x");
    file.settings->WriteString(L"Other", L"k", L"w");
    EXPECT_EQ(file.Written(),
              "[Other]\r\nk=w\r\n\r\n[Form]\r\nTop=1\r\nLeft=2\r\n\r\n[Last]\r\n\r\n[New]\r\nA=x\r\n\r\n");
}

// The encoding found when reading is the one written, with its mark.
TEST(SettingsEncoding, FilesAreWrittenBackInTheirEncoding)
{
    const std::wstring text = L"[Form]\r\nTop=1\r\n[\u30E1\u30E2]\r\n\u540D\u524D=\u5024\r\n";
    const std::wstring expected = L"[Form]\r\nTop=2\r\n\r\n[\u30E1\u30E2]\r\n\u540D\u524D=\u5024\r\n\r\n";
    struct Case {
        const char* name;
        std::string mark;
        bool bigEndian;
    } cases[] = {
        {"UTF-16 little-endian", "\xFF\xFE", false},
        {"UTF-16 big-endian", "\xFE\xFF", true},
    };
    for (const Case& c : cases) {
        Loaded file(c.mark + Utf16(text, c.bigEndian));
        EXPECT_EQ(file.settings->ReadInteger(L"Form", L"Top", 0), 1) << c.name;
        EXPECT_EQ(file.settings->ReadString(L"\u30E1\u30E2", L"\u540D\u524D", L""), L"\u5024")
            << c.name;
        file.settings->WriteInteger(L"Form", L"Top", 2);
        EXPECT_EQ(file.Written(), c.mark + Utf16(expected, c.bigEndian)) << c.name;
    }

    Loaded utf8("\xEF\xBB\xBF[Form]\r\nName=\xE5\x80\xA4\r\n");
    EXPECT_EQ(utf8.settings->ReadString(L"Form", L"Name", L""), L"\u5024");
    EXPECT_EQ(utf8.Written(), "\xEF\xBB\xBF[Form]\r\nName=\xE5\x80\xA4\r\n\r\n");

    // The ANSI code page, here Shift-JIS: "メモ" survives byte for byte.
    const std::string sjis = "[\x83\x81\x83\x82]\r\nk=\x92\x6C\r\n";
    Loaded ansi(sjis, kShiftJis);
    EXPECT_EQ(ansi.settings->ReadString(L"\u30E1\u30E2", L"k", L""), L"\u5024");
    EXPECT_EQ(ansi.Written(), "[\x83\x81\x83\x82]\r\nk=\x92\x6C\r\n\r\n");
}

TEST(SettingsEncoding, OddUtf16LengthAndInvalidUtf8DoNotFail)
{
    Loaded odd("\xFF\xFE" + Utf16(L"[Form]\r\nTop=4\r\n", false) + "\x41");
    EXPECT_EQ(odd.settings->ReadInteger(L"Form", L"Top", 0), 4);
    Loaded bad("\xEF\xBB\xBF[Form]\r\nName=\xC3\r\nTop=5\r\n");
    EXPECT_EQ(bad.settings->ReadInteger(L"Form", L"Top", 0), 5);
}

TEST(SettingsEncoding, FromNothingTheAnsiCodePageWithoutMarkUnlessItIsUtf8)
{
    struct Case {
        unsigned codePage;
        std::string expected;
    } cases[] = {
        {kShiftJis, "[Form]\r\nMAX=0\r\n\r\n"},
        {kWesternEurope, "[Form]\r\nMAX=0\r\n\r\n"},
        {65001, "\xEF\xBB\xBF[Form]\r\nMAX=0\r\n\r\n"},
    };
    for (const Case& c : cases) {
        MemorySettingsStorage storage;
        TSettingsFile settings(kPath, storage, c.codePage);
        settings.WriteBool(L"Form", L"MAX", false);
        settings.UpdateFile();
        EXPECT_EQ(storage.files[kPath], c.expected) << c.codePage;
    }
}

TEST(SettingsFile, ReadingNoFileCreatesNothing)
{
    MemorySettingsStorage storage;
    TSettingsFile settings(kPath, storage, kWesternEurope);
    EXPECT_EQ(settings.ReadString(L"Form", L"Top", L"d"), L"d");
    EXPECT_EQ(storage.saves, 0);
    EXPECT_TRUE(storage.files.empty());
}
