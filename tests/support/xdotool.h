// Real X input for tests under Wine: runs the host's xdotool (Wine starts
// Unix programs) and waits until it has finished.
#pragma once

#include <string>

namespace testsupport {

// Runs "xdotool ARGS" on the X display Wine uses; returns false when it did
// not finish within the timeout.
bool Xdotool(const std::string& args, unsigned timeoutMs = 10000);

}  // namespace testsupport
