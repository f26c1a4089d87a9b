#include "inspect/hook_control.h"

namespace inspect {

std::wstring LibraryPathForProgram(std::wstring_view programPath)
{
    constexpr std::wstring_view kLibraryExtension = L".dll";
    const std::size_t dot = programPath.find_last_of(L".\\:");
    std::wstring path(programPath);
    if (dot != std::wstring_view::npos && programPath[dot] == L'.') path.resize(dot);
    path += kLibraryExtension;
    return path;
}

void HookFormCreate(HookControlState& state, HookLibrary& library, HWND mainWindow)
{
    state.MDll = library.Load(LibraryPathForProgram(library.ProgramPath()));
    // The switch is down here: nothing has changed it since creation.
    if (state.MDll != 0) library.Install(mainWindow, state.MButtonC);
}

void HookShowButtonChoice(HookControlState& state)
{
    switch (state.MButtonC) {
    case 0:
    case 1:
    case 2:
        state.TBLButtonDown = state.MButtonC == 0;
        state.TBMButtonDown = state.MButtonC == 1;
        state.TBRButtonDown = state.MButtonC == 2;
        break;
    default:
        break;
    }
}

void HookTBProcClick(HookControlState& state, HookLibrary& library, HWND mainWindow)
{
    if (state.MDll == 0) return;
    if (state.TBProcDown)
        library.Install(mainWindow, state.MButtonC);
    else
        library.Uninstall();
}

void HookTBButtonClick(HookControlState& state, HookLibrary& library, HWND mainWindow)
{
    // With none down the code stays; the group never leaves more than one down.
    if (state.TBLButtonDown) state.MButtonC = 0;
    if (state.TBMButtonDown) state.MButtonC = 1;
    if (state.TBRButtonDown) state.MButtonC = 2;
    if (state.MDll != 0 && state.TBProcDown) {
        library.Uninstall();
        library.Install(mainWindow, state.MButtonC);
    }
}

void HookFormDestroy(HookControlState& state, HookLibrary& library)
{
    if (state.MDll == 0) return;
    // Also when the switch is up: a removal without a hook is harmless.
    library.Uninstall();
    library.Free(state.MDll);
    state.MDll = 0;
}

}  // namespace inspect
