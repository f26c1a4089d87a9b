// The message of the error an action raises, for tests of failure texts.
#pragma once

#include <functional>
#include <string>

#include "desktop/app_error.h"

namespace testsupport {

inline std::wstring ErrorMessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const desktop::EAppError& e) {
        return e.Message();
    }
    return L"(no exception)";
}

}  // namespace testsupport
