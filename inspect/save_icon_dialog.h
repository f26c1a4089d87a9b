// The save dialog of the icon save command: opens on a given folder with an
// empty name, one file type "アイコン(*.ico)", default extension "ico" and
// a prompt before an existing file is replaced.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <optional>
#include <string>

namespace inspect {

inline constexpr wchar_t kIconFileTypeName[] = L"アイコン(*.ico)";
inline constexpr wchar_t kIconFilePattern[] = L"*.ico";
inline constexpr wchar_t kIconDefaultExtension[] = L"ico";

// Runs the dialog modally, owned by `owner`, in the folder `initialDir`:
// the shell's file-save dialog where the system has it, the classic one
// elsewhere. The chosen full path (a name typed without extension gets
// ".ico"), or nothing when the user cancels or the dialog cannot run.
std::optional<std::wstring> RunSaveIconDialog(HWND owner, const std::wstring& initialDir);

// The two dialogs on their own. The shell's one answers nothing also when
// the system does not offer it.
std::optional<std::wstring> RunShellSaveIconDialog(HWND owner, const std::wstring& initialDir, bool& offered);
std::optional<std::wstring> RunClassicSaveIconDialog(HWND owner, const std::wstring& initialDir);

// Gives a shell file-save dialog the settings above, runs it and reads the
// chosen path. The folder is set as the dialog's current folder, not as a
// fallback for a folder it remembers; the overwrite prompt is its only
// option.
std::optional<std::wstring> RunShellSaveIconDialog(IFileSaveDialog& dialog, HWND owner, const std::wstring& initialDir);

}  // namespace inspect
