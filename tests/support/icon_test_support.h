// Helpers of the icon tests: files beside the test program and in the temp
// folder, and the pixels of a real icon as the platform hands them out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/bin_folder.h"

namespace testsupport {

// A path in the temp folder that names no file yet.
std::wstring FreshTempPath(const std::wstring& stem);

bool FileExists(const std::wstring& path);
std::vector<std::uint8_t> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// An icon's picture: colours as 0x00RRGGBB (alpha dropped) and the mask,
// top row first.
struct IconPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> colours;
    std::vector<bool> transparent;
    std::uint32_t Colour(int x, int y) const { return colours[static_cast<std::size_t>(y * width + x)]; }
    // The colour at a point of the 32 x 32 picture, for an icon the system
    // shows at another size (at 120 DPI large icons are 40 x 40).
    std::uint32_t ColourAt32(int x, int y) const { return Colour(x * width / 32, y * height / 32); }
    bool TransparentAt32(int x, int y) const
    {
        return transparent[static_cast<std::size_t>((y * height / 32) * width + x * width / 32)];
    }
};
// Empty (width 0) when the handle names no icon or it has no colour bitmap.
IconPicture PictureOf(HICON icon);
// A bitmap's pixels read at 32 bits, top row first, as 0x00RRGGBB.
std::vector<std::uint32_t> ColoursOf(HBITMAP bitmap, int width, int height);

// 32-bit icon with a pattern that differs in every pixel and a mask with a
// transparent corner; the caller owns it.
HICON MakePatternIcon(int size);

}  // namespace testsupport
