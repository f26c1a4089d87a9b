#include "app/settings_file.h"

#include <windows.h>

#include <climits>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <unordered_set>
#include <utility>

#include "desktop/app_error.h"

namespace app {
namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";
constexpr size_t kMaxHexDigits = 8;

// Blanks and control characters: every code of 32 and below.
bool IsBlank(wchar_t c) { return c <= L' '; }

std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Splits at CR LF, lone LF and lone CR.
template <typename Visit>
void ForEachLine(std::wstring_view text, Visit visit)
{
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) {
            visit(text.substr(start));
            return;
        }
        visit(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
    }
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool StartsWithHexPrefix(std::wstring_view text, size_t& prefixLength)
{
    if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
        prefixLength = 2;
        return true;
    }
    if (!text.empty() && (text[0] == L'$' || text[0] == L'x' || text[0] == L'X')) {
        prefixLength = 1;
        return true;
    }
    return false;
}

}  // namespace

std::optional<int> ParseSettingsInteger(std::wstring_view original)
{
    std::wstring text(original);
    if (text.size() > 2 && (text.starts_with(L"0x") || text.starts_with(L"0X")))
        text.replace(0, 2, L"$");

    std::wstring_view rest = text;
    bool negative = false;
    if (!rest.empty() && (rest[0] == L'+' || rest[0] == L'-')) {
        negative = rest[0] == L'-';
        rest.remove_prefix(1);
    }

    size_t prefixLength = 0;
    if (StartsWithHexPrefix(rest, prefixLength)) {
        rest.remove_prefix(prefixLength);
        if (rest.empty() || rest.size() > kMaxHexDigits) return std::nullopt;
        std::uint32_t pattern = 0;
        for (wchar_t c : rest) {
            const int digit = HexValue(c);
            if (digit < 0) return std::nullopt;
            pattern = (pattern << 4) | static_cast<std::uint32_t>(digit);
        }
        // A 32-bit pattern: eight F digits are -1, and a sign negates it
        // within 32 bits.
        if (negative) pattern = 0u - pattern;
        return static_cast<int>(static_cast<std::int32_t>(pattern));
    }

    if (rest.empty()) return std::nullopt;
    // Beyond the largest magnitude, -2147483648, nothing more can fit.
    constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
    std::int64_t magnitude = 0;
    for (wchar_t c : rest) {
        if (c < L'0' || c > L'9') return std::nullopt;
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > kLimit) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

std::wstring FoldSettingsName(std::wstring_view name)
{
    if (name.empty() || name.size() > INT_MAX) return std::wstring(name);
    const int length = static_cast<int>(name.size());
    const int needed =
        ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, name.data(), length, nullptr, 0);
    if (needed <= 0) return std::wstring(name);
    std::wstring folded(static_cast<size_t>(needed), L'\0');
    ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, name.data(), length, folded.data(),
                   needed);
    return folded;
}

TSettingsFile::TSettingsFile(std::wstring path)
    : TSettingsFile(std::move(path), SystemSettingsStorage(), ::GetACP())
{
}

TSettingsFile::TSettingsFile(std::wstring path, SettingsStorage& storage,
                             unsigned ansiCodePage)
    : m_path(std::move(path)), m_storage(storage), m_ansiCodePage(ansiCodePage)
{
    try {
        std::optional<std::string> bytes = m_storage.Load(m_path);
        if (!bytes) return;
        DecodedText decoded = DecodeSettingsBytes(*bytes, m_ansiCodePage);
        m_encoding = decoded.encoding;
        Parse(decoded.text);
    } catch (const std::bad_alloc&) {
        // A file too large to hold in memory cannot be read either.
        throw desktop::EAppError(CannotOpenMessage(m_path, ERROR_NOT_ENOUGH_MEMORY));
    } catch (const std::length_error&) {
        throw desktop::EAppError(CannotOpenMessage(m_path, ERROR_NOT_ENOUGH_MEMORY));
    }
}

void TSettingsFile::Parse(std::wstring_view text)
{
    std::unordered_set<std::wstring> seen;
    // The section receiving entries, by index: appending sections moves them.
    // None before the first header and after a repeated one.
    std::optional<size_t> current;
    ForEachLine(text, [&](std::wstring_view raw) {
        const std::wstring_view line = Trim(raw);
        if (line.empty() || line.front() == L';') return;
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            const std::wstring_view name = Trim(line.substr(1, line.size() - 2));
            std::wstring folded = FoldSettingsName(name);
            if (!seen.insert(folded).second) {
                current.reset();
                return;
            }
            current = m_sections.size();
            m_sections.push_back(Section{std::wstring(name), std::move(folded), {}});
            return;
        }
        if (!current) return;
        Entry entry;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) {
            entry.name = std::wstring(line);
        } else {
            entry.name = std::wstring(Trim(line.substr(0, equals)));
            entry.value = std::wstring(Trim(line.substr(equals + 1)));
        }
        entry.folded = FoldSettingsName(entry.name);
        m_sections[*current].entries.push_back(std::move(entry));
    });
}

const TSettingsFile::Section* TSettingsFile::FindSection(std::wstring_view name) const
{
    const std::wstring folded = FoldSettingsName(name);
    for (const Section& section : m_sections)
        if (section.folded == folded) return &section;
    return nullptr;
}

TSettingsFile::Section* TSettingsFile::FindSection(std::wstring_view name)
{
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const TSettingsFile::Entry* TSettingsFile::FindEntry(const Section& section,
                                                     std::wstring_view key)
{
    const std::wstring folded = FoldSettingsName(key);
    for (const Entry& entry : section.entries)
        if (entry.folded == folded) return &entry;
    return nullptr;
}

std::wstring TSettingsFile::ReadString(std::wstring_view section, std::wstring_view key,
                                       std::wstring_view fallback) const
{
    const Section* found = FindSection(section);
    const Entry* entry = found ? FindEntry(*found, key) : nullptr;
    if (!entry || !entry->value) return std::wstring(fallback);
    return *entry->value;
}

int TSettingsFile::ReadInteger(std::wstring_view section, std::wstring_view key,
                               int fallback) const
{
    return ParseSettingsInteger(ReadString(section, key, L"")).value_or(fallback);
}

bool TSettingsFile::ReadBool(std::wstring_view section, std::wstring_view key,
                             bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TSettingsFile::WriteString(std::wstring_view section, std::wstring_view key,
                                std::wstring_view value)
{
    Section* target = FindSection(section);
    if (!target) {
        m_sections.push_back(Section{std::wstring(section), FoldSettingsName(section), {}});
        target = &m_sections.back();
    }
    if (auto* entry = const_cast<Entry*>(FindEntry(*target, key))) {
        entry->value = std::wstring(value);
        return;
    }
    target->entries.push_back(Entry{std::wstring(key), FoldSettingsName(key), std::wstring(value)});
}

void TSettingsFile::WriteInteger(std::wstring_view section, std::wstring_view key, int value)
{
    WriteString(section, key, std::to_wstring(value));
}

void TSettingsFile::WriteBool(std::wstring_view section, std::wstring_view key, bool value)
{
    WriteString(section, key, value ? L"1" : L"0");
}

std::wstring TSettingsFile::Text() const
{
    std::wstring text;
    for (const Section& section : m_sections) {
        text += L'[';
        text += section.name;
        text += L']';
        text += kLineEnd;
        for (const Entry& entry : section.entries) {
            text += entry.name;
            if (entry.value) {
                text += L'=';
                text += *entry.value;
            }
            text += kLineEnd;
        }
        text += kLineEnd;
    }
    return text;
}

void TSettingsFile::UpdateFile() const
{
    const TextEncoding encoding = m_encoding.value_or(TextEncoding::Ansi);
    m_storage.Save(m_path, EncodeSettingsText(Text(), encoding, m_ansiCodePage));
}

}  // namespace app
