#include "app/select_all_key.h"

#include <windows.h>

namespace app {

namespace {

bool IsDown(const TKeyboardState& keys, int virtualKey) { return (keys[virtualKey] & 0x80) != 0; }

}  // namespace

bool IsSelectAllKey(const TKeyboardState& keys, wchar_t character)
{
    if (character != kCtrlACharacter) return false;
    // Only these six keys take part in the shift state.
    return IsDown(keys, VK_CONTROL) && !IsDown(keys, VK_SHIFT) && !IsDown(keys, VK_MENU) &&
           !IsDown(keys, VK_LBUTTON) && !IsDown(keys, VK_RBUTTON) && !IsDown(keys, VK_MBUTTON);
}

}  // namespace app
