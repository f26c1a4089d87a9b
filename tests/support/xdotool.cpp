#include "support/xdotool.h"

#include "support/host_command.h"

namespace testsupport {

bool Xdotool(const std::string& args, unsigned timeoutMs) { return RunHostCommand("xdotool " + args, timeoutMs); }

}  // namespace testsupport
