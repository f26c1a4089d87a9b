#include "app/settings_encoding.h"

#include <windows.h>

#include <climits>

namespace app {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::wstring FromMultiByte(std::string_view bytes, unsigned codePage)
{
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int length = static_cast<int>(bytes.size());
    // Without MB_ERR_INVALID_CHARS invalid sequences become replacement
    // characters instead of failing the whole text.
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring text(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), needed);
    return text;
}

std::string ToMultiByte(std::wstring_view text, unsigned codePage)
{
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string bytes(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr,
                          nullptr);
    return bytes;
}

// An odd last byte holds no whole code unit and is dropped.
std::wstring FromUtf16(std::string_view bytes, bool bigEndian)
{
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::string ToUtf16(std::wstring_view text, bool bigEndian)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t unit : text) {
        const auto value = static_cast<unsigned>(unit) & 0xFFFFu;
        const char high = static_cast<char>(value >> 8);
        const char low = static_cast<char>(value & 0xFFu);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace

DecodedText DecodeSettingsBytes(std::string_view bytes, unsigned ansiCodePage)
{
    if (bytes.starts_with(kUtf8Mark))
        return {TextEncoding::Utf8, FromMultiByte(bytes.substr(kUtf8Mark.size()), CP_UTF8)};
    if (bytes.starts_with(kUtf16LeMark))
        return {TextEncoding::Utf16Le, FromUtf16(bytes.substr(kUtf16LeMark.size()), false)};
    if (bytes.starts_with(kUtf16BeMark))
        return {TextEncoding::Utf16Be, FromUtf16(bytes.substr(kUtf16BeMark.size()), true)};
    return {TextEncoding::Ansi, FromMultiByte(bytes, ansiCodePage)};
}

std::string EncodeSettingsText(std::wstring_view text, TextEncoding encoding,
                               unsigned ansiCodePage)
{
    switch (encoding) {
    case TextEncoding::Utf8: return std::string(kUtf8Mark) + ToMultiByte(text, CP_UTF8);
    case TextEncoding::Utf16Le: return std::string(kUtf16LeMark) + ToUtf16(text, false);
    case TextEncoding::Utf16Be: return std::string(kUtf16BeMark) + ToUtf16(text, true);
    case TextEncoding::Ansi: break;
    }
    std::string mark = ansiCodePage == kUtf8CodePage ? std::string(kUtf8Mark) : std::string();
    return mark + ToMultiByte(text, ansiCodePage);
}

}  // namespace app
