// The first (or any indexed) icon of an executable, library or icon file.
#pragma once

#include <windows.h>

#include <string>

namespace desktop {

// ExtractIconW with this program's module instance; the result unchanged:
// a new icon handle the caller owns, 0 when the file holds no icon, or 1
// when the file is no executable, library or icon file.
HICON ExtractProgramIcon(const std::wstring& path, UINT index);

// ExtractIconW's answer for a file that is none of the kinds it reads: not
// an icon handle, so never shown or destroyed as one.
bool IsNotAnIconFileAnswer(HICON icon);

}  // namespace desktop
