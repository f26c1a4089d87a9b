// The main window's file-save dialog component: its design settings, the
// folder it opens on and, after a run, the file the user chose.
#pragma once

#include <windows.h>

#include <string>

#include "inspect/save_icon_dialog.h"

namespace app {

class TSavePictureDialog {
public:
    // Design settings; the dialog runs with exactly these.
    static constexpr const wchar_t* DefaultExt = inspect::kIconDefaultExtension;
    static std::wstring Filter() { return std::wstring(inspect::kIconFileTypeName) + L"|" + inspect::kIconFilePattern; }
    static constexpr int FilterIndex = 1;

    // Set before each run.
    std::wstring InitialDir;
    // Set before each run; the chosen full path afterwards, kept until the
    // next run clears it.
    std::wstring FileName;

    // Runs the dialog modally, owned by `owner`; true when the user chose a
    // file (then in FileName), false when they cancelled.
    bool Execute(HWND owner);
};

}  // namespace app
