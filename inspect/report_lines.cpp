#include "inspect/report_lines.h"

namespace inspect {

namespace {

constexpr int kMinimumHandleDigits = 8;

std::wstring Labelled(std::wstring_view label, const std::wstring& value)
{
    std::wstring line(label);
    line += value;
    return line;
}

}  // namespace

std::wstring FormatWindowHandle(std::uintptr_t handle)
{
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring reversed;
    for (std::uintptr_t rest = handle; rest != 0 || static_cast<int>(reversed.size()) < kMinimumHandleDigits;
         rest >>= 4)
        reversed += kDigits[rest & 0xF];
    return std::wstring(reversed.rbegin(), reversed.rend());
}

std::wstring TextLine(const std::wstring& text) { return Labelled(kTextLabel, text); }

std::wstring ClassLine(const std::wstring& className) { return Labelled(kClassLabel, className); }

std::wstring RectangleLine(const TWindowRect& rect)
{
    return L"座標:左:" + std::to_wstring(rect.Left) + L",上:" + std::to_wstring(rect.Top) + L",右:" +
           std::to_wstring(rect.Right) + L",下:" + std::to_wstring(rect.Bottom);
}

std::wstring HandleLine(std::uintptr_t handle) { return Labelled(kHandleLabel, FormatWindowHandle(handle)); }

std::wstring ProgramLine(const std::wstring& programPath) { return Labelled(kProgramLabel, programPath); }

}  // namespace inspect
