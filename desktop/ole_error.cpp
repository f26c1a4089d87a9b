#include "desktop/ole_error.h"

#include <cwchar>

#include "desktop/app_error.h"

namespace desktop {

std::wstring OleErrorMessage(HRESULT result, const std::wstring& systemText)
{
    if (!systemText.empty()) return systemText;
    wchar_t digits[9] = {};
    std::swprintf(digits, 9, L"%.8lX", static_cast<unsigned long>(result));
    return L"OLE エラー " + std::wstring(digits);
}

std::wstring OleErrorMessage(HRESULT result)
{
    return OleErrorMessage(result, SystemErrorText(static_cast<unsigned long>(result)));
}

std::wstring AssertionMessage(const std::wstring& message, const char* sourceFile, int line)
{
    std::string file = sourceFile;
    std::size_t folderEnd = file.find_last_of("/\\");
    if (folderEnd != std::string::npos) file.erase(0, folderEnd + 1);
    // Source file names are ASCII.
    return message + L" (" + std::wstring(file.begin(), file.end()) + L", " + std::to_wstring(line) + L" 行)";
}

}  // namespace desktop
