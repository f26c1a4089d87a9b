#pragma once

#include <string>

namespace inspect {

// The full path of the utility's own executable (GetModuleFileNameW, no
// module handle, a zero-filled buffer of 261 characters).
std::wstring GetOwnExecutablePath();

}  // namespace inspect
