// Where the test programs live: every test executable, fixture and product
// binary sits in the same bin folder.
#pragma once

#include <string>

namespace testsupport {

// The folder of the running executable, ending with "\".
std::wstring BinFolder();
// A file in that folder.
inline std::wstring BinPath(const std::wstring& fileName) { return BinFolder() + fileName; }

}  // namespace testsupport
