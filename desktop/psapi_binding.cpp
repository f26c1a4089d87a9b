#include "desktop/psapi_binding.h"

#include "desktop/handles.h"

namespace desktop {

namespace {

using GetModuleFileNameExWFunction = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

constexpr wchar_t kBindingLibraryName[] = L"PSAPI.dll";

struct TModuleFileNameBinding {
    ModuleHandle Library;
    GetModuleFileNameExWFunction Function = nullptr;
};

// Released by its destructor when the program ends. Only the GUI thread
// calls the binding, so the first use needs no guard.
TModuleFileNameBinding& Binding()
{
    static TModuleFileNameBinding binding;
    return binding;
}

}  // namespace

DWORD BoundGetModuleFileNameExW(HANDLE process, HMODULE module, wchar_t* buffer, DWORD size)
{
    TModuleFileNameBinding& binding = Binding();
    if (!binding.Library) {
        binding.Library.reset(::LoadLibraryW(kBindingLibraryName));
        if (!binding.Library) return 0;
        binding.Function = ProcedureAs<GetModuleFileNameExWFunction>(
            ::GetProcAddress(binding.Library.get(), "GetModuleFileNameExW"));
    }
    if (!binding.Function) return 0;
    return binding.Function(process, module, buffer, size);
}

}  // namespace desktop
