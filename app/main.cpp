// Program entry: the data folder first, then the application and its one
// window; the exit code is 0 in every case.
#include <windows.h>

#include "app/application.h"
#include "app/error_box.h"
#include "app/main_form.h"
#include "desktop/data_folder.h"

namespace {

constexpr wchar_t kProgramFolder[] = L"quillow";

// The show command of a shortcut set to run maximised or minimised.
void ApplyStartupShowCommand(app::TMainForm& form)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW) {
        if (startup.wShowWindow == SW_SHOWMAXIMIZED) ::ShowWindow(form.Handle(), SW_SHOWMAXIMIZED);
        if (startup.wShowWindow == SW_SHOWMINNOACTIVE) ::ShowWindow(form.Handle(), SW_SHOWMINNOACTIVE);
    }
    if (!::IsWindowVisible(form.Handle())) ::ShowWindow(form.Handle(), SW_SHOW);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (!desktop::ForceDataFolder(kProgramFolder, false)) return 0;
    app::Application.Initialize();
    app::Application.SetTitle(app::kApplicationTitle);
    app::Application.SetMainFormOnTaskBar();
    try {
        app::TMainForm form;
        app::Application.SetMainForm(&form);
        ApplyStartupShowCommand(form);
        app::Application.Run();
        app::Application.SetMainForm(nullptr);
    } catch (...) {
        app::Application.HandleException();
    }
    app::Application.Finalize();
    desktop::UserDataDir.clear();
    desktop::CommonDataDir.clear();
    return 0;
}
