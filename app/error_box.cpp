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

void HandleCurrentException(HWND owner)
{
    try {
        throw;
    } catch (const desktop::EAppError& error) {
        ShowErrorBox(owner, error.Message());
    } catch (const std::bad_alloc&) {
        ShowErrorBox(owner, L"メモリが不足しています");
    } catch (const std::exception& error) {
        std::string what = error.what();
        ShowErrorBox(owner, std::wstring(what.begin(), what.end()));
    } catch (...) {
        ShowErrorBox(owner, L"不明なエラー");
    }
}

}  // namespace app
