// One watching session of the library: a thread of its own that holds the
// system-wide low-level mouse hook and runs its own message loop. The hook
// procedure only copies the pressed point and posts it to that loop; the
// loop resolves the window and posts the capture message to the target.
// So the hook answers the system at once whatever the target's GUI thread
// is doing, and the caller's thread is never asked to run hook code.
#pragma once

#include <windows.h>

#include <utility>

#include "desktop/handles.h"

namespace hook {

class HookThread {
public:
    // Starts the thread for the button-down message to watch and returns
    // once it has set its hook; false, with nothing left running, when the
    // hook could not be set.
    bool Start(HWND target, UINT pressMessage);
    // Returns once the thread has removed its hook and ended; false when
    // no thread was running.
    bool Stop();
    bool IsRunning() const { return static_cast<bool>(m_thread); }

private:
    desktop::KernelHandle m_thread;
    desktop::KernelHandle m_stop;
};

}  // namespace hook
