// The messages of failed file writes that the user sees, shared by every
// file the program writes (the settings file, icon files).
#pragma once

#include <string>

namespace desktop {

// ファイル "PATH" を作成できません。REASON: the file cannot be created or
// opened for writing; the reason is the system's text for the error.
std::wstring CannotCreateFileMessage(const std::wstring& path, const std::wstring& reason);

// Writing the bytes stopped part way (a full disk).
inline constexpr wchar_t kStreamWriteErrorMessage[] = L"ストリームへの書き込みエラー";

}  // namespace desktop
