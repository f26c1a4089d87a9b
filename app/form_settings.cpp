#include "app/form_settings.h"

#include <windows.h>

#include "app/settings_file.h"

namespace app {
namespace {

constexpr wchar_t kMostTop[] = L"MostTop";
constexpr wchar_t kTop[] = L"Top";
constexpr wchar_t kLeft[] = L"Left";
constexpr wchar_t kHeight[] = L"Height";
constexpr wchar_t kWidth[] = L"Width";
constexpr wchar_t kMax[] = L"MAX";
constexpr wchar_t kButton[] = L"Button";

constexpr int kDefaultButtonCode = 0;  // the left button

}  // namespace

std::wstring SettingsFilePath(const std::wstring& userDataDir)
{
    return userDataDir + kSettingsFileName;
}

void ReadFormSettings(FormSettingsState& form, const std::wstring& path,
                      SettingsStorage& storage, unsigned ansiCodePage)
{
    const TSettingsFile settings(path, storage, ansiCodePage);
    // Each value is applied before the next default is taken, so a missing
    // key leaves its value as the window has it.
    form.SetStayOnTopDown(settings.ReadBool(kFormSection, kMostTop, form.StayOnTopDown()));
    form.SetTop(settings.ReadInteger(kFormSection, kTop, form.Top()));
    form.SetLeft(settings.ReadInteger(kFormSection, kLeft, form.Left()));
    form.SetHeight(settings.ReadInteger(kFormSection, kHeight, form.Height()));
    form.SetWidth(settings.ReadInteger(kFormSection, kWidth, form.Width()));
    form.SetMaximized(settings.ReadBool(kFormSection, kMax, false));
    form.SetButtonCode(settings.ReadInteger(kFormSection, kButton, kDefaultButtonCode));
}

void ReadFormSettings(FormSettingsState& form, const std::wstring& path)
{
    ReadFormSettings(form, path, SystemSettingsStorage(), ::GetACP());
}

void WriteFormSettings(const FormSettingsState& form, const std::wstring& path,
                       SettingsStorage& storage, unsigned ansiCodePage)
{
    // Read afresh: the file as it is on disk now, changes by others included.
    TSettingsFile settings(path, storage, ansiCodePage);
    if (form.IsMaximized()) {
        // The rectangle is left as the file holds it: normally that of the
        // last close in the normal state, the restored one at the next start.
        settings.WriteBool(kFormSection, kMax, true);
    } else {
        settings.WriteBool(kFormSection, kMax, false);
        settings.WriteInteger(kFormSection, kTop, form.Top());
        settings.WriteInteger(kFormSection, kLeft, form.Left());
        settings.WriteInteger(kFormSection, kHeight, form.Height());
        settings.WriteInteger(kFormSection, kWidth, form.Width());
    }
    settings.WriteBool(kFormSection, kMostTop, form.StayOnTopDown());
    settings.WriteInteger(kFormSection, kButton, form.ButtonCode());
    settings.UpdateFile();
}

void WriteFormSettings(const FormSettingsState& form, const std::wstring& path)
{
    WriteFormSettings(form, path, SystemSettingsStorage(), ::GetACP());
}

}  // namespace app
