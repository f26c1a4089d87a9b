// The hook library as the program binds it: the run-time load through the
// platform and the two functions imported by name from quillow.dll.
#pragma once

#include "inspect/hook_control.h"

namespace inspect {

class ImportedHookLibrary : public HookLibrary {
public:
    std::wstring ProgramPath() override;
    std::uintptr_t Load(const std::wstring& path) override;
    void Free(std::uintptr_t module) override;
    void Install(HWND target, std::int32_t code) override;
    void Uninstall() override;
};

}  // namespace inspect
