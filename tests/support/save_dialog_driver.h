// Drives a file-save dialog of this process from another thread, as a user
// would: real pointer and key input through xdotool, and reads of the
// dialog's controls. Works with the shell's file-save dialog and the classic
// one. The dialog runs modally on the thread that opened it; call these
// from a second thread.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// A visible dialog (class #32770) owned by `owner`, or null when none
// appeared within the timeout.
HWND WaitForOwnedDialog(HWND owner, unsigned timeoutMs = 15000);

// The box the file name is typed into: the shell dialog's edit field, the
// classic dialog's combo box; null when neither is there.
HWND SaveDialogNameBox(HWND dialog);
std::wstring SaveDialogName(HWND dialog);
// The text of the selected file type.
std::wstring SaveDialogFileType(HWND dialog);
// The classic dialog's current folder (CDM_GETFOLDERPATH); empty for the
// shell's dialog, which does not answer it.
std::wstring SaveDialogFolder(HWND dialog);

// Clicks into the name box, types `name` (ASCII) with real keys and presses
// Enter. Returns false when the name box is missing or xdotool failed.
bool TypeNameAndConfirm(HWND dialog, const std::string& name);
// Presses Escape over the dialog.
bool CancelDialog(HWND dialog);

}  // namespace testsupport
