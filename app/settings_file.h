// The in-memory settings copy: an INI file loaded whole, read and changed in
// memory and written back whole.
//
// Sections and entries keep their order and their spelling. Names are found
// without regard to case (upper-cased by the user's locale); the first entry
// of a repeated key counts; a repeated section header and its lines are
// ignored, as are comments, blank lines and lines before the first header.
// The text encoding found when reading is used again when writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings_encoding.h"
#include "app/settings_storage.h"

namespace app {

class TSettingsFile {
public:
    // Loads the file at `path` (a missing file gives an empty copy and
    // creates nothing). Throws EAppError when the file exists but cannot be
    // read, also when it is too large to hold in memory.
    explicit TSettingsFile(std::wstring path);
    TSettingsFile(std::wstring path, SettingsStorage& storage, unsigned ansiCodePage);

    // The value, or `fallback` when the section or key is missing or the
    // key has no value.
    std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                            std::wstring_view fallback) const;
    // Signed decimal, or "$", "x", "0x" and 1 to 8 hex digits as a 32-bit
    // pattern, with an optional sign; anything else gives `fallback`.
    int ReadInteger(std::wstring_view section, std::wstring_view key, int fallback) const;
    // True for any integer other than 0.
    bool ReadBool(std::wstring_view section, std::wstring_view key, bool fallback) const;

    // Changes the first entry of the key, keeping its spelling, or appends
    // one (and the section, spelled as passed) at the end.
    void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    void WriteInteger(std::wstring_view section, std::wstring_view key, int value);
    void WriteBool(std::wstring_view section, std::wstring_view key, bool value);

    // Writes the whole copy over the file. Throws EAppError.
    void UpdateFile() const;

    const std::wstring& FileName() const { return m_path; }

private:
    struct Entry {
        std::wstring name;
        std::wstring folded;  // the name upper-cased, for lookups
        std::optional<std::wstring> value;
    };
    struct Section {
        std::wstring name;
        std::wstring folded;
        std::vector<Entry> entries;
    };

    void Parse(std::wstring_view text);
    // The whole copy as it is written, before encoding.
    std::wstring Text() const;
    const Section* FindSection(std::wstring_view name) const;
    Section* FindSection(std::wstring_view name);
    static const Entry* FindEntry(const Section& section, std::wstring_view key);

    std::wstring m_path;
    SettingsStorage& m_storage;
    unsigned m_ansiCodePage;
    std::optional<TextEncoding> m_encoding;  // none: read from no file
    std::vector<Section> m_sections;
};

// Reads a value text the way ReadInteger does; nothing for anything that is
// not an integer.
std::optional<int> ParseSettingsInteger(std::wstring_view text);

// The name upper-cased by the user's locale.
std::wstring FoldSettingsName(std::wstring_view name);

}  // namespace app
