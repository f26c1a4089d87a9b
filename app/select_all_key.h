// The select-all key of the text areas: Ctrl+A with no other modifier and
// no mouse button held.
#pragma once

#include <array>
#include <cstdint>

namespace app {

// The character Ctrl+A types.
inline constexpr wchar_t kCtrlACharacter = 0x0001;

// A keyboard state as GetKeyboardState gives it (bit 7 set: key down).
using TKeyboardState = std::array<std::uint8_t, 256>;

// True when the shift state built from Shift, Alt, Ctrl and the left,
// right and middle mouse buttons is exactly {Ctrl} and the character is the
// one Ctrl+A types.
bool IsSelectAllKey(const TKeyboardState& keys, wchar_t character);

}  // namespace app
