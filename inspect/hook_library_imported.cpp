// Linked straight into quillow.exe (see inspect/CMakeLists.txt), so that its
// import table names quillow.dll and both functions.
#include "inspect/hook_library_imported.h"

#include <array>

#include "hook/quillow_hook.h"

namespace inspect {

std::wstring ImportedHookLibrary::ProgramPath()
{
    // Held with room for the NUL after the longest path the call may write.
    std::array<wchar_t, MAX_PATH + 1> buffer{};
    ::GetModuleFileNameW(nullptr, buffer.data(), MAX_PATH);  // result not checked: empty names no library
    return buffer.data();
}

std::uintptr_t ImportedHookLibrary::Load(const std::wstring& path)
{
    return reinterpret_cast<std::uintptr_t>(::LoadLibraryW(path.c_str()));
}

void ImportedHookLibrary::Free(std::uintptr_t module) { ::FreeLibrary(reinterpret_cast<HMODULE>(module)); }

void ImportedHookLibrary::Install(HWND target, std::int32_t code)
{
    ::Func_InstallMHook(target, code);  // result not read
}

void ImportedHookLibrary::Uninstall()
{
    ::Func_UnInstallMHook();  // result not read
}

}  // namespace inspect
