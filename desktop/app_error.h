// The exception that carries a message for the application's error box.
// Every failure that must reach the user is one of these; the default
// handler shows Message() (see app/error_box.h).
#pragma once

#include <exception>
#include <string>

namespace desktop {

class EAppError : public std::exception {
public:
    explicit EAppError(std::wstring message) : m_message(std::move(message)) {}
    const std::wstring& Message() const { return m_message; }
    const char* what() const noexcept override { return "quillow error"; }

private:
    std::wstring m_message;
};

// The system's text for an error code, in the system's language, with
// trailing blanks, control characters and "." removed; empty when the
// system has no text for it.
std::wstring SystemErrorText(unsigned long code);

}  // namespace desktop
