// The settings file's text encodings: found from the byte-order mark when
// read, and used again with the same mark when written.
#pragma once

#include <string>
#include <string_view>

namespace app {

enum class TextEncoding {
    Ansi,     // the system's ANSI code page, no mark
    Utf8,     // EF BB BF
    Utf16Le,  // FF FE
    Utf16Be,  // FE FF
};

inline constexpr unsigned kUtf8CodePage = 65001;

struct DecodedText {
    TextEncoding encoding;
    std::wstring text;
};

// Finds the encoding from the first bytes (UTF-8, UTF-16 LE, UTF-16 BE marks
// in this order, else the ANSI code page), skips the mark and decodes the
// rest. Bytes that are not valid text never fail: they decode to something.
DecodedText DecodeSettingsBytes(std::string_view bytes, unsigned ansiCodePage);

// The mark of the encoding followed by the encoded text. The ANSI code page
// has no mark, except when it is UTF-8 itself, which gets the UTF-8 mark.
std::string EncodeSettingsText(std::wstring_view text, TextEncoding encoding,
                               unsigned ansiCodePage);

}  // namespace app
