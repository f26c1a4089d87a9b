// The design icon: the main window's icon until the first capture, and the
// same file as the program's icon resource MAINICON. An icon file of two
// 16-colour images, 32 x 32 and 16 x 16, 1078 bytes.
#pragma once

#include <cstdint>
#include <span>

namespace inspect {

std::span<const std::uint8_t> DesignIconBytes();

}  // namespace inspect
