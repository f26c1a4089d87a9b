#include "app/error_box.h"

#include <climits>
#include <exception>
#include <new>
#include <stdexcept>

#include "desktop/app_error.h"

namespace app {

namespace {

constexpr wchar_t kOutOfMemoryMessage[] = L"メモリが不足しています";
constexpr wchar_t kUnknownErrorMessage[] = L"不明なエラー";

// An exception's narrow text: UTF-8 when it is valid UTF-8 (this program's
// own texts, and ASCII), otherwise the ANSI code page, in which the
// system's narrow messages come.
std::wstring WidenExceptionText(const std::string& text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(text.size());
    for (const UINT codePage : {UINT{CP_UTF8}, UINT{CP_ACP}}) {
        const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int needed = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
        if (needed <= 0) continue;
        std::wstring wide(static_cast<std::size_t>(needed), L'\0');
        ::MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed);
        return wide;
    }
    return {};
}

}  // namespace

std::wstring ErrorBoxText(const std::wstring& message)
{
    std::wstring text = message;
    if (!text.empty() && text.back() > L'.') text += L'.';
    return text;
}

void ShowErrorBox(HWND owner, const std::wstring& message)
{
    ::MessageBoxW(owner, ErrorBoxText(message).c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

std::wstring CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const desktop::EAppError& error) {
        return error.Message();
    } catch (const std::bad_alloc&) {
        return kOutOfMemoryMessage;
    } catch (const std::length_error&) {
        // More than a string or container can hold: memory for it cannot be had.
        return kOutOfMemoryMessage;
    } catch (const std::exception& error) {
        return WidenExceptionText(error.what());
    } catch (...) {
        return kUnknownErrorMessage;
    }
}

void HandleCurrentException(HWND owner) { ShowErrorBox(owner, CurrentExceptionMessage()); }

}  // namespace app
