#include "support/icon_test_support.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "desktop/handles.h"

namespace testsupport {

std::wstring FreshTempPath(const std::wstring& stem)
{
    static std::atomic<unsigned> counter{0};
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, folder);
    for (;;) {
        std::wstring path = std::wstring(folder) + stem + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++) + L".ico";
        if (!FileExists(path)) return path;
    }
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::uint8_t> ReadFileBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

namespace {

struct Info32 {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
};

}  // namespace

std::vector<std::uint32_t> ColoursOf(HBITMAP bitmap, int width, int height)
{
    Info32 info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 32;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    desktop::MemoryDcHandle dc(::CreateCompatibleDC(nullptr));
    if (::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                    reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != height)
        return {};
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

IconPicture PictureOf(HICON icon)
{
    IconPicture picture;
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return picture;
    desktop::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (!colour || !::GetObjectW(colour.get(), sizeof bitmap, &bitmap)) return picture;
    picture.width = bitmap.bmWidth;
    picture.height = bitmap.bmHeight;
    picture.colours = ColoursOf(colour.get(), picture.width, picture.height);
    for (std::uint32_t m : ColoursOf(mask.get(), picture.width, picture.height)) picture.transparent.push_back(m != 0);
    return picture;
}

HICON MakePatternIcon(int size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    desktop::BitmapHandle colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels[y * size + x] = 0xFF000000u | static_cast<std::uint32_t>((x * 7) & 0xFF) << 16 |
                                   static_cast<std::uint32_t>((y * 5) & 0xFF) << 8 | static_cast<std::uint32_t>((x ^ y) & 0xFF);
    // Mask: the top-left quarter transparent.
    const int rowBytes = ((size + 15) / 16) * 2;  // CreateBitmap rows are word-aligned
    std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(rowBytes * size), 0);
    for (int y = 0; y < size / 4; ++y)
        for (int x = 0; x < size / 4; ++x) maskBits[static_cast<std::size_t>(y * rowBytes + x / 8)] |= 0x80 >> (x % 8);
    desktop::BitmapHandle mask(::CreateBitmap(size, size, 1, 1, maskBits.data()));
    ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
    return ::CreateIconIndirect(&icon);
}

}  // namespace testsupport
