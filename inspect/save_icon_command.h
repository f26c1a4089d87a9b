// The icon save command (the toolbar's "アイコンを保存(&C)"): asks for a file
// in a dialog that opens on the desktop folder, then saves the window icon.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "inspect/window_icon.h"

namespace inspect {

struct TSaveIconCommandSteps {
    std::function<std::wstring()> desktopFolder;
    std::function<std::optional<std::wstring>(HWND owner, const std::wstring& initialDir)> runDialog;
};

// desktop::GetDesktopFolderPath and RunSaveIconDialog.
TSaveIconCommandSteps Win32SaveIconCommandSteps();

// Finds the desktop folder (a failure ends the command before any dialog),
// runs the dialog there with an empty name, and unless the user cancels
// saves `windowIcon` as it is once the dialog has closed (a capture during
// the dialog changes what is saved). Raises EAppError for the form's
// default handler.
void RunSaveIconCommand(HWND owner, const TIcon& windowIcon);
void RunSaveIconCommand(HWND owner, const TIcon& windowIcon, const TSaveIconCommandSteps& steps);

}  // namespace inspect
