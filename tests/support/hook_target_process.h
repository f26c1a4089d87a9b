// Test helpers for mouse captures: the fixture process hook_target.exe with
// its window and controls, and real presses of a mouse button on a window.
#pragma once

#include <windows.h>

#include <string>

#include "desktop/handles.h"
#include "support/bin_folder.h"

namespace testsupport {

// hook_target.exe from the test's own bin folder, stopped (by its process
// handle) when this goes away.
class HookTargetProcess {
public:
    HookTargetProcess() = default;
    ~HookTargetProcess();
    HookTargetProcess(const HookTargetProcess&) = delete;
    HookTargetProcess& operator=(const HookTargetProcess&) = delete;

    // Starts the process and waits until its window is shown; false on failure.
    bool Start(unsigned timeoutMs = 20000);
    void Stop();
    HWND Window() const { return m_window; }
    HWND Control(int id) const { return ::GetDlgItem(m_window, id); }

private:
    desktop::KernelHandle m_process;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
};

// The centre of a window in screen coordinates.
POINT ScreenCentreOf(HWND window);

// Mouse buttons by capture code: 0 left, 1 middle, 2 right.
enum class MouseButton { Left = 0, Middle = 1, Right = 2 };

// Moves the real pointer to the point and clicks the button (press and
// release) through the X server; false when xdotool did not finish.
bool ClickAt(POINT point, MouseButton button);

}  // namespace testsupport
