#include "inspect/save_icon_command.h"

#include "desktop/desktop_folder.h"
#include "inspect/save_icon_dialog.h"

namespace inspect {

TSaveIconCommandSteps Win32SaveIconCommandSteps()
{
    return {[] { return desktop::GetDesktopFolderPath(); }, RunSaveIconDialog};
}

void RunSaveIconCommand(HWND owner, const TIcon& windowIcon)
{
    RunSaveIconCommand(owner, windowIcon, Win32SaveIconCommandSteps());
}

void RunSaveIconCommand(HWND owner, const TIcon& windowIcon, const TSaveIconCommandSteps& steps)
{
    const std::wstring desktopFolder = steps.desktopFolder();
    const std::optional<std::wstring> path = steps.runDialog(owner, desktopFolder);
    if (!path) return;
    windowIcon.SaveToFile(*path);
}

}  // namespace inspect
