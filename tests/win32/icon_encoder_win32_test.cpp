// EncodeIconFile on real icons and real GDI bitmaps: the files it makes are
// byte-exact in their layout and load back through the platform into an
// icon of the same size and pixels; both bitmaps are deleted on every path.
#include "inspect/icon_encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "desktop/app_error.h"
#include "desktop/handles.h"
#include "inspect/icon_file.h"
#include "inspect/window_icon.h"
#include "support/icon_test_support.h"

namespace {

using testsupport::IconPicture;

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Loads a written icon file the way a user's program would.
desktop::IconHandle LoadIconFile(const std::wstring& path)
{
    return desktop::IconHandle(
        static_cast<HICON>(::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
}

void ExpectSamePicture(const IconPicture& expected, const IconPicture& actual)
{
    ASSERT_GT(expected.width, 0);
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
    EXPECT_TRUE(actual.colours == expected.colours) << "colour pixels differ";
    EXPECT_TRUE(actual.transparent == expected.transparent) << "mask differs";
}

class TempFile {
public:
    TempFile() : path(testsupport::FreshTempPath(L"quillow-encode")) {}
    ~TempFile() { ::DeleteFileW(path.c_str()); }
    const std::wstring path;
};

TEST(EncodeIconFileOnRealIcons, ThirtyTwoBitIconsSaveAndLoadBack)
{
    // Wine hands out an icon's colour bitmap at the screen's 32 bits,
    // whatever depth the icon was made from; other depths follow below.
    struct Case {
        int size;
        std::size_t fileSize;
        std::uint8_t sizeByte;
    } cases[] = {{32, 4286, 32}, {48, 9662, 48}, {256, 22 + 40 + 262144 + 8192, 0}, {20, 22 + 40 + 1600 + 80, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        desktop::IconHandle original(testsupport::MakePatternIcon(c.size));
        ASSERT_TRUE(original);
        const IconPicture expected = testsupport::PictureOf(original.get());

        inspect::TIcon icon;
        icon.SetHandle(original.release());
        TempFile file;
        icon.SaveToFile(file.path);

        const std::vector<std::uint8_t> bytes = testsupport::ReadFileBytes(file.path);
        ASSERT_EQ(bytes.size(), c.fileSize);
        const std::uint8_t head[] = {0, 0, 1, 0, 1, 0, c.sizeByte, c.sizeByte, 32, 0, 0, 0, 0, 0};
        EXPECT_EQ(std::memcmp(bytes.data(), head, sizeof head), 0);
        EXPECT_EQ(Le32(bytes, 14), c.fileSize - 22);
        EXPECT_EQ(Le32(bytes, 18), 22u);
        EXPECT_EQ(Le32(bytes, 22), 40u);
        EXPECT_EQ(Le32(bytes, 30), static_cast<std::uint32_t>(2 * c.size));

        desktop::IconHandle loaded = LoadIconFile(file.path);
        ASSERT_TRUE(loaded);
        ExpectSamePicture(expected, testsupport::PictureOf(loaded.get()));
    }
}

// Hands EncodeIconFile real bitmaps of a chosen depth, as GetIconInfo does
// on systems that keep an icon's own depth; everything else is the real
// platform. Records what was deleted.
class GivenBitmaps final : public inspect::TIconBitmapApi {
public:
    GivenBitmaps(HBITMAP colourBitmap, HBITMAP maskBitmap) : colour(colourBitmap), mask(maskBitmap) {}
    HBITMAP colour, mask;
    std::vector<HBITMAP> deleted;
    bool GetIconInfo(HICON, ICONINFO& info) override
    {
        info = ICONINFO{TRUE, 0, 0, mask, colour};
        return true;
    }
    int GetObject(HBITMAP b, int size, void* d) override { return real.GetObject(b, size, d); }
    int GetDIBits(HBITMAP b, UINT lines, void* rows, BITMAPINFO* info) override
    {
        return real.GetDIBits(b, lines, rows, info);
    }
    void DeleteObject(HBITMAP b) override
    {
        deleted.push_back(b);
        real.DeleteObject(b);
    }

private:
    inspect::TIconBitmapApi& real = inspect::Win32IconBitmapApi();
};

// The 16 colours of the classic palette, then shades.
RGBQUAD PaletteEntry(int i)
{
    static const std::uint32_t classic[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                              0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::uint32_t rgb = i < 16 ? classic[i] : static_cast<std::uint32_t>(i * 0x010203);
    return RGBQUAD{static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb >> 16), 0};
}

struct SectionInfo {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
};

HBITMAP MakeSection(int size, int bits)
{
    SectionInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = size;
    info.header.biHeight = size;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    for (int i = 0; i < 256; ++i) info.table[i] = PaletteEntry(i);
    void* pixels = nullptr;
    HBITMAP bitmap =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    const std::uint32_t rowBytes = inspect::RowLength(size, static_cast<unsigned>(bits));
    auto* bytes = static_cast<std::uint8_t*>(pixels);
    for (std::uint32_t i = 0; i < rowBytes * static_cast<std::uint32_t>(size); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + i / rowBytes);
    return bitmap;
}

HBITMAP MakeDevice4(int size)
{
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(size * size / 2));
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint8_t>(i * 29);
    return ::CreateBitmap(size, size, 1, 4, bits.data());
}

HBITMAP MakeMask(int size)
{
    const int rowBytes = ((size + 15) / 16) * 2;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(rowBytes * size));
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 0xF0 : 0);
    return ::CreateBitmap(size, size, 1, 1, bits.data());
}

TEST(EncodeIconFileOnRealBitmaps, EveryDepthSavesAndLoadsBack)
{
    struct Case {
        const char* label;
        HBITMAP (*make)(int);
        int size;
        std::size_t fileSize;
        std::uint8_t colourByte;
    };
    const Case cases[] = {
        {"4-bit device bitmap", MakeDevice4, 32, 766, 4},
        {"4-bit section (own header)", [](int s) { return MakeSection(s, 4); }, 32, 766, 4},
        {"8-bit section", [](int s) { return MakeSection(s, 8); }, 16, 22 + 1064 + 256 + 64, 8},
        {"24-bit section", [](int s) { return MakeSection(s, 24); }, 20, 1342, 24},
        {"32-bit section", [](int s) { return MakeSection(s, 32); }, 48, 9662, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        HBITMAP colour = c.make(c.size);
        HBITMAP mask = MakeMask(c.size);
        ASSERT_TRUE(colour && mask);
        IconPicture expected;
        expected.width = expected.height = c.size;
        expected.colours = testsupport::ColoursOf(colour, c.size, c.size);
        for (std::uint32_t m : testsupport::ColoursOf(mask, c.size, c.size)) expected.transparent.push_back(m != 0);

        GivenBitmaps api(colour, mask);
        const std::vector<std::uint8_t> bytes = inspect::EncodeIconFile(reinterpret_cast<HICON>(0x1234), api);
        ASSERT_EQ(bytes.size(), c.fileSize);
        EXPECT_EQ(bytes[6], c.size);
        EXPECT_EQ(bytes[8], c.colourByte);
        EXPECT_EQ(api.deleted.size(), 2u);
        EXPECT_EQ(::GetObjectType(colour), 0u) << "colour bitmap deleted";
        EXPECT_EQ(::GetObjectType(mask), 0u) << "mask bitmap deleted";

        TempFile file;
        testsupport::WriteFileBytes(file.path, bytes);
        desktop::IconHandle loaded = LoadIconFile(file.path);
        ASSERT_TRUE(loaded);
        ExpectSamePicture(expected, testsupport::PictureOf(loaded.get()));
    }
}

TEST(EncodeIconFileOnRealIcons, MonochromeIconIsAnInvalidBitmapAndItsMaskIsDeleted)
{
    std::vector<std::uint8_t> bits(4 * 64, 0xAA);
    desktop::BitmapHandle mask(::CreateBitmap(32, 64, 1, 1, bits.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), nullptr};
    desktop::IconHandle monochrome(::CreateIconIndirect(&info));
    ASSERT_TRUE(monochrome);

    // The real reads, with a record of the bitmaps GetIconInfo made.
    class Recording final : public inspect::TIconBitmapApi {
    public:
        ICONINFO made{};
        bool GetIconInfo(HICON icon, ICONINFO& out) override
        {
            bool ok = real.GetIconInfo(icon, out);
            made = out;
            return ok;
        }
        int GetObject(HBITMAP b, int s, void* d) override { return real.GetObject(b, s, d); }
        int GetDIBits(HBITMAP b, UINT l, void* r, BITMAPINFO* i) override { return real.GetDIBits(b, l, r, i); }
        void DeleteObject(HBITMAP b) override { real.DeleteObject(b); }
        inspect::TIconBitmapApi& real = inspect::Win32IconBitmapApi();
    } api;
    try {
        inspect::EncodeIconFile(monochrome.get(), api);
        FAIL() << "no exception";
    } catch (const desktop::EAppError& e) {
        EXPECT_EQ(e.Message(), L"ビットマップ画像が無効です");
    }
    EXPECT_EQ(api.made.hbmColor, nullptr);
    ASSERT_NE(api.made.hbmMask, nullptr);
    EXPECT_EQ(::GetObjectType(api.made.hbmMask), 0u) << "mask deleted";
}

TEST(EncodeIconFileOnRealIcons, ValueThatNamesNoIconIsAnInvalidIcon)
{
    try {
        inspect::EncodeIconFile(reinterpret_cast<HICON>(1));
        FAIL() << "no exception";
    } catch (const desktop::EAppError& e) {
        EXPECT_EQ(e.Message(), L"アイコン画像が無効です");
    }
}

}  // namespace
