#include "desktop/file_error_messages.h"

namespace desktop {

std::wstring CannotCreateFileMessage(const std::wstring& path, const std::wstring& reason)
{
    return L"ファイル \"" + path + L"\" を作成できません。" + reason;
}

}  // namespace desktop
