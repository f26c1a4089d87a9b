// The process-status function of the program path's first stage, bound at
// run time: "PSAPI.dll" is loaded by the platform's normal library search at
// the first call and stays loaded until the program ends. A failed load is
// tried again at the next call.
#pragma once

#include <windows.h>

namespace desktop {

// GetModuleFileNameExW; 0 (as for any failure) when the library cannot be
// loaded or the function is not in it.
DWORD BoundGetModuleFileNameExW(HANDLE process, HMODULE module, wchar_t* buffer, DWORD size);

// A function found with GetProcAddress as its real type. Goes through the
// generic function pointer type, which converts to every function type.
template <typename Function>
Function ProcedureAs(FARPROC procedure)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(procedure));
}

}  // namespace desktop
