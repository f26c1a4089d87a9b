// The application's default exception handler: every error that leaves an
// event handler is shown in one message box, and the program goes on.
#pragma once

#include <windows.h>

#include <string>

namespace app {

inline constexpr wchar_t kApplicationTitle[] = L"quillow";

// The text the box shows: the message, with "." appended when its last
// character's code is above that of ".".
std::wstring ErrorBoxText(const std::wstring& message);

// Shows the error box (error icon, OK, captioned with the application
// title) owned by `owner` and returns when the user has closed it.
void ShowErrorBox(HWND owner, const std::wstring& message);

// The message of the exception being handled, as the error box shows it
// (before the "." rule). Call from a catch block only; any exception type
// is accepted.
std::wstring CurrentExceptionMessage();

// Shows the error box for the exception being handled. Call from a catch
// block only; any exception type is accepted.
void HandleCurrentException(HWND owner);

}  // namespace app
