#include "desktop/stay_on_top.h"

namespace desktop {

bool SetStayOnTop(HWND window, bool on)
{
    return ::SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kStayOnTopFlags) != 0;
}

}  // namespace desktop
