#include "inspect/save_icon_dialog.h"

#include "desktop/handles.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace inspect {

namespace {

constexpr UINT kIconFileTypeIndex = 1;  // one-based
constexpr DWORD kClassicNameLength = MAX_PATH;

// Initialises COM on this thread for the dialog's lifetime when nobody has.
class ComApartment {
public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

class TaskMemoryString {
public:
    ~TaskMemoryString() { ::CoTaskMemFree(m_text); }
    PWSTR* put() { return &m_text; }
    PWSTR get() const { return m_text; }

private:
    PWSTR m_text = nullptr;
};

}  // namespace

std::optional<std::wstring> RunShellSaveIconDialog(IFileSaveDialog& dialog, HWND owner, const std::wstring& initialDir)
{
    // Setting results are not checked: a setting the dialog refuses leaves
    // its default, and the dialog still runs.
    dialog.SetDefaultExtension(kIconDefaultExtension);
    desktop::ComPointer<IShellItem> folder;
    if (SUCCEEDED(::SHCreateItemFromParsingName(initialDir.c_str(), nullptr, IID_IShellItem,
                                                reinterpret_cast<void**>(folder.put()))))
        dialog.SetFolder(folder.get());
    const COMDLG_FILTERSPEC types[] = {{kIconFileTypeName, kIconFilePattern}};
    dialog.SetFileTypes(1, types);
    dialog.SetFileTypeIndex(kIconFileTypeIndex);
    dialog.SetFileName(L"");
    dialog.SetOptions(FOS_OVERWRITEPROMPT);

    if (FAILED(dialog.Show(owner))) return std::nullopt;  // cancelled, or the dialog could not run
    desktop::ComPointer<IShellItem> result;
    if (FAILED(dialog.GetResult(result.put())) || !result.get()) return std::nullopt;
    TaskMemoryString path;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.put())) || !path.get()) return std::nullopt;
    return std::wstring(path.get());
}

std::optional<std::wstring> RunShellSaveIconDialog(HWND owner, const std::wstring& initialDir, bool& offered)
{
    ComApartment apartment;
    desktop::ComPointer<IFileSaveDialog> dialog;
    offered = SUCCEEDED(::CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IFileSaveDialog, reinterpret_cast<void**>(dialog.put())));
    if (!offered) return std::nullopt;
    return RunShellSaveIconDialog(*dialog.get(), owner, initialDir);
}

std::optional<std::wstring> RunClassicSaveIconDialog(HWND owner, const std::wstring& initialDir)
{
    // Description and pattern, each NUL-terminated, then an empty string.
    std::wstring filter = std::wstring(kIconFileTypeName) + L'\0' + kIconFilePattern + L'\0';
    std::vector<wchar_t> name(kClassicNameLength + 1, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = kIconFileTypeIndex;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kClassicNameLength;
    dialog.lpstrInitialDir = initialDir.c_str();
    dialog.lpstrDefExt = kIconDefaultExtension;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;  // cancelled, or the dialog failed
    return std::wstring(name.data());
}

std::optional<std::wstring> RunSaveIconDialog(HWND owner, const std::wstring& initialDir)
{
    bool offered = false;
    std::optional<std::wstring> path = RunShellSaveIconDialog(owner, initialDir, offered);
    if (offered) return path;
    return RunClassicSaveIconDialog(owner, initialDir);
}

}  // namespace inspect
