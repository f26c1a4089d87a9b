// The texts of the window report's lines, byte for byte: a window block of
// five lines per window and two closing lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inspect/window_queries.h"

namespace inspect {

inline constexpr std::wstring_view kSeparatorLine = L"---------------------------";
static_assert(kSeparatorLine.size() == 27);
inline constexpr std::wstring_view kTextLabel = L"キャプション/テキスト:";
inline constexpr std::wstring_view kClassLabel = L"クラス:";
inline constexpr std::wstring_view kHandleLabel = L"ハンドル:";
inline constexpr std::wstring_view kProgramLabel = L"プログラム:";

// Upper-case hexadecimal, zero-padded on the left to at least 8 digits
// (a handle wider than 32 bits keeps all its digits).
std::wstring FormatWindowHandle(std::uintptr_t handle);

std::wstring TextLine(const std::wstring& text);
std::wstring ClassLine(const std::wstring& className);
// "座標:左:L,上:T,右:R,下:B", decimal with "-" before a negative value.
std::wstring RectangleLine(const TWindowRect& rect);
std::wstring HandleLine(std::uintptr_t handle);
std::wstring ProgramLine(const std::wstring& programPath);

}  // namespace inspect
