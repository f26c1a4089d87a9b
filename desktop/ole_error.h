// Messages for failures of COM and shell calls, and for failed assertions.
#pragma once

#include <windows.h>

#include <string>

namespace desktop {

// The platform's text for an HRESULT (stripped like SystemErrorText), or
// "OLE エラー XXXXXXXX" (8 upper-case hex digits) when it has none.
std::wstring OleErrorMessage(HRESULT result);
std::wstring OleErrorMessage(HRESULT result, const std::wstring& systemText);

// "MESSAGE (FILE, LINE 行)", FILE being the source file's name without its
// folders.
std::wstring AssertionMessage(const std::wstring& message, const char* sourceFile, int line);

}  // namespace desktop
