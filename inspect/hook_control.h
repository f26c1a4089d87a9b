// Switching the capture hook on and off as the user works the capture
// switch TBProc and the button choice TBLButton / TBMButton / TBRButton.
//
// The hook is installed exactly when MDll is not 0 and the switch is down.
// The library is called only through HookLibrary, only when MDll is not 0,
// and never installed twice without a removal between. The main window
// keeps the state; these functions run inside its handlers, on its thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace inspect {

// What the hook control needs of the platform and of quillow.dll.
class HookLibrary {
public:
    virtual ~HookLibrary() = default;
    // The full path of the program's own executable.
    virtual std::wstring ProgramPath() = 0;
    // Loads a library at run time: its module handle, or 0 when it cannot be loaded.
    virtual std::uintptr_t Load(const std::wstring& path) = 0;
    // Drops a run-time reference that Load returned.
    virtual void Free(std::uintptr_t module) = 0;
    // Func_InstallMHook and Func_UnInstallMHook; their results are not read.
    virtual void Install(HWND target, std::int32_t code) = 0;
    virtual void Uninstall() = 0;
};

// The main window's part of the hook control.
struct HookControlState {
    // Capture button code: 0 left, 1 middle, 2 right; any stored value is passed on.
    std::int32_t MButtonC = 0;
    // Run-time reference to the hook library, 0 while not loaded.
    std::uintptr_t MDll = 0;
    // Down states of the capture switch (down at creation) and of the button choice.
    bool TBProcDown = true;
    bool TBLButtonDown = false;
    bool TBMButtonDown = false;
    bool TBRButtonDown = false;
};

// The library's path for a program path: the file name's extension (from
// the last "." after the last "\" or ":") becomes ".dll"; without one,
// ".dll" is appended.
std::wstring LibraryPathForProgram(std::wstring_view programPath);

// FormCreate step 4: loads the library beside the program (by the program's
// own base name) and, when that succeeded, installs for MButtonC.
void HookFormCreate(HookControlState& state, HookLibrary& library, HWND mainWindow);
// FormCreate step 5: 0, 1, 2 put the left, middle or right choice down and
// the other two up; any other code leaves all three as they are.
void HookShowButtonChoice(HookControlState& state);
// TBProcClick, after the switch has taken its new state.
void HookTBProcClick(HookControlState& state, HookLibrary& library, HWND mainWindow);
// TBButtonClick, after the group has taken its new state.
void HookTBButtonClick(HookControlState& state, HookLibrary& library, HWND mainWindow);
// FormDestroy: removes the hook and releases the run-time reference.
void HookFormDestroy(HookControlState& state, HookLibrary& library);

}  // namespace inspect
