#include "app/save_picture_dialog.h"

namespace app {

bool TSavePictureDialog::Execute(HWND owner)
{
    std::optional<std::wstring> chosen = inspect::RunSaveIconDialog(owner, InitialDir);
    if (!chosen) return false;
    FileName = *chosen;
    return true;
}

}  // namespace app
