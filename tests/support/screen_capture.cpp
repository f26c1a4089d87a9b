#include "support/screen_capture.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "support/bin_folder.h"
#include "support/host_command.h"

namespace testsupport {

namespace {

constexpr unsigned kCaptureTimeoutMs = 15000;
constexpr DWORD kSettleIntervalMs = 150;

// The next number of a PPM header, skipping blanks and comments.
bool ReadHeaderNumber(const std::string& bytes, std::size_t& at, int& value)
{
    while (at < bytes.size()) {
        if (bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n') ++at;
        } else if (std::isspace(static_cast<unsigned char>(bytes[at]))) {
            ++at;
        } else {
            break;
        }
    }
    if (at >= bytes.size() || !std::isdigit(static_cast<unsigned char>(bytes[at]))) return false;
    value = 0;
    while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at])) && value < 100000)
        value = value * 10 + (bytes[at++] - '0');
    return true;
}

bool ReadPpm(const std::wstring& path, TScreenImage& image)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') return false;
    std::size_t at = 2;
    int width = 0, height = 0, maxValue = 0;
    if (!ReadHeaderNumber(bytes, at, width) || !ReadHeaderNumber(bytes, at, height) ||
        !ReadHeaderNumber(bytes, at, maxValue) || maxValue != 255)
        return false;
    ++at;  // the one blank after the header
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (bytes.size() < at + size) return false;
    image.Path = path;
    image.Width = width;
    image.Height = height;
    image.Rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return true;
}

}  // namespace

std::wstring ScreenshotFolder()
{
    std::wstring bin = BinFolder();  // ...\build\<preset>\bin\ .
    bin.pop_back();
    const std::wstring folder = bin.substr(0, bin.find_last_of(L'\\') + 1) + L"screenshots\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool CaptureScreen(const RECT& rect, const std::wstring& path, TScreenImage& image)
{
    const std::string hostPath = HostPath(path);
    if (hostPath.empty() || rect.right <= rect.left || rect.bottom <= rect.top) return false;
    ::DeleteFileW(path.c_str());
    const std::string geometry = std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top) +
                                 "+" + std::to_string(rect.left) + "+" + std::to_string(rect.top);
    if (!RunHostCommand("import -window root -crop " + geometry + " +repage -depth 8 ppm:" + hostPath,
                        kCaptureTimeoutMs))
        return false;
    return ReadPpm(path, image) && image.Width == rect.right - rect.left && image.Height == rect.bottom - rect.top;
}

bool CaptureSettledScreen(const RECT& rect, const std::wstring& path, TScreenImage& image, unsigned timeoutMs)
{
    TScreenImage previous;
    if (!CaptureScreen(rect, path, previous)) return false;
    const DWORD start = ::GetTickCount();
    for (;;) {
        ::Sleep(kSettleIntervalMs);
        if (!CaptureScreen(rect, path, image)) return false;
        if (image.Rgb == previous.Rgb) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        previous = image;
    }
}

TImageDifference CompareImages(const TScreenImage& a, const TScreenImage& b)
{
    TImageDifference difference;
    if (a.Width != b.Width || a.Height != b.Height || a.Rgb.size() != b.Rgb.size()) {
        difference.Pixels = static_cast<std::size_t>(std::max(a.Width * a.Height, b.Width * b.Height));
        difference.FirstX = difference.FirstY = 0;
        return difference;
    }
    for (std::size_t pixel = 0; pixel * 3 < a.Rgb.size(); ++pixel) {
        if (a.Rgb[pixel * 3] == b.Rgb[pixel * 3] && a.Rgb[pixel * 3 + 1] == b.Rgb[pixel * 3 + 1] &&
            a.Rgb[pixel * 3 + 2] == b.Rgb[pixel * 3 + 2])
            continue;
        if (difference.Pixels++ == 0) {
            difference.FirstX = static_cast<int>(pixel % static_cast<std::size_t>(a.Width));
            difference.FirstY = static_cast<int>(pixel / static_cast<std::size_t>(a.Width));
        }
    }
    return difference;
}

}  // namespace testsupport
