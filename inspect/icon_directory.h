// Reading the directory of an icon file, so the platform can pick the image
// that fits a size: the file's 16-byte entries become the 14-byte entries of
// an icon-group resource, each numbered by its position from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace inspect {

// The icon-group directory for an icon file; nothing when the bytes are no
// icon file or an image lies outside them.
std::optional<std::vector<std::uint8_t>> GroupDirectoryFromIconFile(std::span<const std::uint8_t> file);

// The bytes of image `number` (1 = the first entry) of a checked icon file.
std::span<const std::uint8_t> IconFileImage(std::span<const std::uint8_t> file, int number);

}  // namespace inspect
