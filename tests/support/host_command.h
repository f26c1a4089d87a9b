// Host programs (xdotool, ImageMagick) run from a test under Wine: Wine
// starts Unix programs, and a shell around the command leaves a marker file
// when it is done, because Wine gives no exit status for them.
#pragma once

#include <string>

namespace testsupport {

// Runs the shell command line on the host, on the X display Wine uses;
// returns false when it did not finish within the timeout. The command must
// not contain double quotes.
bool RunHostCommand(const std::string& command, unsigned timeoutMs = 10000);

// The host path of a path on Wine's Z: drive, which is the host's root
// ("Z:\a\b" gives "/a/b"); empty for a path on any other drive.
std::string HostPath(const std::wstring& windowsPath);

}  // namespace testsupport
