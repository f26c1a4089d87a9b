// Fakes for the settings file's seams, shared by the settings tests.
#pragma once

#include <windows.h>

#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings_storage.h"
#include "desktop/app_error.h"

namespace testsupport {

// Settings files held in memory, by path.
class MemorySettingsStorage final : public app::SettingsStorage {
public:
    std::map<std::wstring, std::string> files;
    // When set, every load fails as a file that cannot be opened does.
    std::optional<DWORD> loadError;
    // When set, every load runs out of memory, as for a file too large to hold.
    bool loadOutOfMemory = false;
    int saves = 0;

    std::optional<std::string> Load(const std::wstring& path) override
    {
        if (loadError) throw desktop::EAppError(app::CannotOpenMessage(path, *loadError));
        if (loadOutOfMemory) throw std::bad_alloc();
        auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }

    void Save(const std::wstring& path, std::string_view bytes) override
    {
        files[path] = std::string(bytes);
        ++saves;
    }
};

}  // namespace testsupport
