#include "app/error_box.h"

#include <exception>
#include <new>

#include "desktop/app_error.h"

namespace app {

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
        return L"メモリが不足しています";
    } catch (const std::exception& error) {
        std::string what = error.what();
        return std::wstring(what.begin(), what.end());
    } catch (...) {
        return L"不明なエラー";
    }
}

void HandleCurrentException(HWND owner) { ShowErrorBox(owner, CurrentExceptionMessage()); }

}  // namespace app
