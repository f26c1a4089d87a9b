// The screen as a person sees it: the pixels of a screen rectangle, read from
// the X server Wine draws on with ImageMagick's import, kept as binary PPM
// files so that a failing comparison leaves both pictures to look at.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

struct TScreenImage {
    std::wstring Path;  // where the picture was written
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Rgb;  // row by row, three bytes per pixel
};

// build/<preset>/screenshots\, created when missing.
std::wstring ScreenshotFolder();

// Captures the rectangle (screen coordinates) into `path`, a .ppm file, and
// reads it back; false when that did not work.
bool CaptureScreen(const RECT& rect, const std::wstring& path, TScreenImage& image);

// Captures until two captures a little apart are equal, so that painting in
// progress has finished; false when the screen did not settle in time.
bool CaptureSettledScreen(const RECT& rect, const std::wstring& path, TScreenImage& image,
                          unsigned timeoutMs = 4000);

struct TImageDifference {
    std::size_t Pixels = 0;  // pixels that differ (all, when the sizes differ)
    int FirstX = -1;         // the first of them, row by row
    int FirstY = -1;
};
TImageDifference CompareImages(const TScreenImage& a, const TScreenImage& b);

}  // namespace testsupport
