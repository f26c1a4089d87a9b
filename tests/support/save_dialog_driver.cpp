#include "support/save_dialog_driver.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cwchar>
#include <string>

#include "support/xdotool.h"

namespace testsupport {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kFileTypeCombo = cmb1;

struct OwnedDialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<OwnedDialogSearch*>(parameter);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (::IsWindowVisible(window) && std::wcscmp(className, kDialogClass) == 0 &&
        ::GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowText(HWND window)
{
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

bool ClickInto(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    // Without a window manager the X focus follows the pointer, so the keys
    // reach the window under it.
    return Xdotool("mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                   std::to_string((rect.top + rect.bottom) / 2) + " click 1");
}

}  // namespace

HWND WaitForOwnedDialog(HWND owner, unsigned timeoutMs)
{
    for (unsigned waited = 0; waited <= timeoutMs; waited += 20) {
        OwnedDialogSearch search{owner, nullptr};
        ::EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(20);
    }
    return nullptr;
}

HWND SaveDialogNameBox(HWND dialog)
{
    if (HWND edit = ::GetDlgItem(dialog, edt1); edit && ::IsWindowVisible(edit)) return edit;
    if (HWND combo = ::GetDlgItem(dialog, cmb13); combo && ::IsWindowVisible(combo)) return combo;
    return nullptr;
}

std::wstring SaveDialogName(HWND dialog)
{
    HWND box = SaveDialogNameBox(dialog);
    return box ? WindowText(box) : std::wstring();
}

std::wstring SaveDialogFileType(HWND dialog)
{
    HWND combo = ::GetDlgItem(dialog, kFileTypeCombo);
    auto selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return {};
    auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring SaveDialogFolder(HWND dialog)
{
    wchar_t folder[MAX_PATH + 1] = {};
    auto length = ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return length > 0 ? std::wstring(folder) : std::wstring();
}

bool TypeNameAndConfirm(HWND dialog, const std::string& name)
{
    HWND box = SaveDialogNameBox(dialog);
    if (!box || !ClickInto(box)) return false;
    return Xdotool("type --delay 20 '" + name + "'") && Xdotool("key Return");
}

bool CancelDialog(HWND dialog)
{
    HWND box = SaveDialogNameBox(dialog);
    return box && ClickInto(box) && Xdotool("key Escape");
}

}  // namespace testsupport
