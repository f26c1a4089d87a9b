// Header preparation and assembly of the single-image icon file.
#include "inspect/icon_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "desktop/app_error.h"

namespace {

using inspect::TBitmapDescription;
using inspect::TDepthRequest;

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// What GetObjectW says of a device-dependent bitmap: BITMAP only.
TBitmapDescription DeviceBitmap(int width, int height, int bitsPerPixel, int planes = 1)
{
    TBitmapDescription d;
    d.written = sizeof(BITMAP);
    d.section.dsBm.bmType = 0;
    d.section.dsBm.bmWidth = width;
    d.section.dsBm.bmHeight = height;
    d.section.dsBm.bmPlanes = static_cast<WORD>(planes);
    d.section.dsBm.bmBitsPixel = static_cast<WORD>(bitsPerPixel);
    return d;
}

// What GetObjectW says of a DIB section: BITMAP, then its own header.
TBitmapDescription SectionBitmap(int width, int height, int bitsPerPixel, DWORD compression = BI_RGB)
{
    TBitmapDescription d = DeviceBitmap(width, height < 0 ? -height : height, bitsPerPixel);
    d.written = sizeof(DIBSECTION);
    BITMAPINFOHEADER& h = d.section.dsBmih;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitsPerPixel);
    h.biCompression = compression;
    h.biXPelsPerMeter = 3780;
    h.biYPelsPerMeter = 3780;
    return d;
}

TEST(IconFileRowLength, PadsRowsTo32Bits)
{
    struct Case {
        std::int32_t width;
        unsigned bits;
        std::uint32_t bytes;
    } cases[] = {
        {32, 1, 4}, {20, 1, 4}, {33, 1, 8}, {48, 1, 8}, {256, 1, 32}, {32, 4, 16}, {20, 24, 60},
        {32, 32, 128}, {1, 24, 4}, {3, 8, 4}, {5, 8, 8}, {-20, 24, 60}, {0, 32, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inspect::RowLength(c.width, c.bits), c.bytes) << c.width << " x " << c.bits;
}

TEST(IconFileHeaderPreparation, FollowsTheDescription)
{
    struct Case {
        const char* label;
        TBitmapDescription description;
        TDepthRequest depth;
        LONG width, height;
        WORD bits;
        DWORD compression, sizeImage;
        LONG xPels;
    };
    TBitmapDescription twoPlanes = DeviceBitmap(32, 32, 2, 2);
    TBitmapDescription shortOwnHeader = SectionBitmap(32, 32, 8);
    shortOwnHeader.section.dsBmih.biSize = 12;  // an old core header
    TBitmapDescription truncated = SectionBitmap(16, 16, 24);
    truncated.written = inspect::kOwnHeaderEnd - 1;
    TBitmapDescription withSize = SectionBitmap(16, 16, 24);
    withSize.section.dsBmih.biSizeImage = 777;
    const Case cases[] = {
        {"device bitmap, own depth", DeviceBitmap(32, 32, 32), TDepthRequest::OwnDepth, 32, 32, 32, BI_RGB, 4096, 0},
        {"device bitmap, mask", DeviceBitmap(32, 32, 32), TDepthRequest::Mask, 32, 32, 1, BI_RGB, 128, 0},
        {"monochrome mask of double height", DeviceBitmap(32, 64, 1), TDepthRequest::Mask, 32, 64, 1, BI_RGB, 256, 0},
        {"planes multiply the depth", twoPlanes, TDepthRequest::OwnDepth, 32, 32, 4, BI_RGB, 512, 0},
        {"20 wide at 24 bits", DeviceBitmap(20, 20, 24), TDepthRequest::OwnDepth, 20, 20, 24, BI_RGB, 1200, 0},
        {"own header is copied", SectionBitmap(48, 48, 32, BI_BITFIELDS), TDepthRequest::OwnDepth, 48, 48, 32,
         BI_BITFIELDS, 9216, 3780},
        {"own header, mask request", SectionBitmap(48, 48, 1), TDepthRequest::Mask, 48, 48, 1, BI_RGB, 384, 3780},
        {"own header with image size kept", withSize, TDepthRequest::OwnDepth, 16, 16, 24, BI_RGB, 777, 3780},
        {"own header too short: fresh header", shortOwnHeader, TDepthRequest::OwnDepth, 32, 32, 8, BI_RGB, 1024, 0},
        {"description cut before the header's end", truncated, TDepthRequest::OwnDepth, 16, 16, 24, BI_RGB, 768, 0},
        {"top-down own header read bottom-up", SectionBitmap(16, -16, 32), TDepthRequest::OwnDepth, 16, 16, 32,
         BI_RGB, 1024, 3780},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        BITMAPINFOHEADER h = inspect::PrepareBitmapHeader(c.description, c.depth);
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, c.width);
        EXPECT_EQ(h.biHeight, c.height);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bits);
        EXPECT_EQ(h.biCompression, c.compression);
        EXPECT_EQ(h.biSizeImage, c.sizeImage);
        EXPECT_EQ(h.biXPelsPerMeter, c.xPels);
    }
}

TEST(IconFileHeaderPreparation, CapsImportantColoursAtUsedColours)
{
    struct Case {
        DWORD used, important, expected;
    } cases[] = {{0, 5, 0}, {4, 9, 4}, {9, 4, 4}, {16, 16, 16}};
    for (const Case& c : cases) {
        TBitmapDescription d = SectionBitmap(16, 16, 4);
        d.section.dsBmih.biClrUsed = c.used;
        d.section.dsBmih.biClrImportant = c.important;
        BITMAPINFOHEADER h = inspect::PrepareBitmapHeader(d, TDepthRequest::OwnDepth);
        EXPECT_EQ(h.biClrUsed, c.used);
        EXPECT_EQ(h.biClrImportant, c.expected) << c.used << "/" << c.important;
    }
}

TEST(IconFileHeaderPreparation, NothingDescribedIsAnInvalidBitmap)
{
    TBitmapDescription nothing;
    try {
        inspect::PrepareBitmapHeader(nothing, TDepthRequest::OwnDepth);
        FAIL() << "no exception";
    } catch (const desktop::EAppError& e) {
        EXPECT_EQ(e.Message(), L"ビットマップ画像が無効です");
    }
}

TEST(IconFileHeaderAndTable, SizeFollowsDepthUsedColoursAndBitFields)
{
    struct Case {
        WORD bits;
        DWORD used, compression, size;
    } cases[] = {
        {1, 0, BI_RGB, 48},         {4, 0, BI_RGB, 104},   {8, 0, BI_RGB, 1064}, {8, 10, BI_RGB, 80},
        {4, 300, BI_RGB, 104},      {16, 0, BI_RGB, 40},   {24, 0, BI_RGB, 40},  {32, 0, BI_RGB, 40},
        {32, 0, BI_BITFIELDS, 52}, {16, 0, BI_BITFIELDS, 52},
    };
    for (const Case& c : cases) {
        BITMAPINFOHEADER h{};
        h.biBitCount = c.bits;
        h.biClrUsed = c.used;
        h.biCompression = c.compression;
        EXPECT_EQ(inspect::HeaderAndTableSize(h), c.size) << c.bits << " bits, " << c.used << " used";
    }
}

// Prepares the colour header from a description as EncodeIconFile does, and
// fills table, rows and mask with recognisable bytes.
struct Assembled {
    std::vector<std::uint8_t> table, colourRows, maskRows, file;
};

Assembled Assemble(const TBitmapDescription& colour, const TBitmapDescription& mask)
{
    Assembled a;
    BITMAPINFOHEADER colourHeader = inspect::PrepareBitmapHeader(colour, TDepthRequest::OwnDepth);
    BITMAPINFOHEADER maskHeader = inspect::PrepareBitmapHeader(mask, TDepthRequest::Mask);
    a.table.assign(1024, 0);
    for (std::size_t i = 0; i < a.table.size(); ++i) a.table[i] = static_cast<std::uint8_t>(0x40 + i % 7);
    a.colourRows.assign(colourHeader.biSizeImage, 0);
    for (std::size_t i = 0; i < a.colourRows.size(); ++i) a.colourRows[i] = static_cast<std::uint8_t>(i * 3 + 1);
    a.maskRows.assign(maskHeader.biSizeImage, 0);
    for (std::size_t i = 0; i < a.maskRows.size(); ++i) a.maskRows[i] = static_cast<std::uint8_t>(0xF0 ^ i);
    inspect::TIconFileParts parts;
    parts.colourHeader = colourHeader;
    parts.colourTable = a.table;
    parts.colourRows = a.colourRows;
    parts.maskRows = a.maskRows;
    a.file = inspect::AssembleIconFile(parts);
    return a;
}

TEST(IconFileAssembly, LayoutOfEveryDepthAndSize)
{
    struct Case {
        const char* label;
        TBitmapDescription colour, mask;
        std::size_t fileSize;
        std::uint8_t widthByte, heightByte;
        std::uint16_t colourField;
        std::uint32_t headerAndTable, colourBytes, maskBytes;
    };
    const Case cases[] = {
        {"32 x 32 at 32 bits", DeviceBitmap(32, 32, 32), DeviceBitmap(32, 32, 1), 4286, 32, 32, 32, 40, 4096, 128},
        {"32 x 32 at 4 bits", DeviceBitmap(32, 32, 4), DeviceBitmap(32, 32, 1), 766, 32, 32, 4, 104, 512, 128},
        {"20 x 20 at 24 bits", DeviceBitmap(20, 20, 24), DeviceBitmap(20, 20, 1), 1342, 20, 20, 24, 40, 1200, 80},
        {"48 x 48 at 32 bits", DeviceBitmap(48, 48, 32), DeviceBitmap(48, 48, 1), 9662, 48, 48, 32, 40, 9216, 384},
        {"256 x 256 at 32 bits", DeviceBitmap(256, 256, 32), DeviceBitmap(256, 256, 1), 22 + 40 + 262144 + 8192, 0,
         0, 32, 40, 262144, 8192},
        {"16 x 16 at 8 bits", DeviceBitmap(16, 16, 8), DeviceBitmap(16, 16, 1), 22 + 1064 + 256 + 64, 16, 16, 8, 1064,
         256, 64},
        {"32 x 32 at 32 bits with bit fields", SectionBitmap(32, 32, 32, BI_BITFIELDS), DeviceBitmap(32, 32, 1),
         22 + 52 + 4096 + 128, 32, 32, 32, 52, 4096, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Assembled a = Assemble(c.colour, c.mask);
        const std::vector<std::uint8_t>& f = a.file;
        ASSERT_EQ(f.size(), c.fileSize);
        // Directory head: reserved 0, type 1 (icon), one image.
        EXPECT_EQ(Le16(f, 0), 0);
        EXPECT_EQ(Le16(f, 2), 1);
        EXPECT_EQ(Le16(f, 4), 1);
        // Entry.
        EXPECT_EQ(f[6], c.widthByte);
        EXPECT_EQ(f[7], c.heightByte);
        EXPECT_EQ(Le16(f, 8), c.colourField);
        EXPECT_EQ(Le16(f, 10), 0);
        EXPECT_EQ(Le16(f, 12), 0);
        EXPECT_EQ(Le32(f, 14), c.headerAndTable + c.colourBytes + c.maskBytes);
        EXPECT_EQ(Le32(f, 18), 22u);
        // Colour header: height doubled, image size of the colour rows only.
        EXPECT_EQ(Le32(f, 22), 40u);
        EXPECT_EQ(Le32(f, 26), static_cast<std::uint32_t>(c.colour.section.dsBm.bmWidth));
        EXPECT_EQ(Le32(f, 30), static_cast<std::uint32_t>(2 * c.colour.section.dsBm.bmHeight));
        EXPECT_EQ(Le16(f, 34), 1);
        EXPECT_EQ(Le16(f, 36), c.colourField);
        EXPECT_EQ(Le32(f, 42), c.colourBytes);
        // Table, colour rows and mask rows follow in this order, unchanged.
        const std::size_t table = 22 + 40, rows = 22 + c.headerAndTable, mask = rows + c.colourBytes;
        EXPECT_TRUE(std::equal(f.begin() + table, f.begin() + rows, a.table.begin()));
        EXPECT_TRUE(std::equal(f.begin() + rows, f.begin() + mask, a.colourRows.begin()));
        EXPECT_TRUE(std::equal(f.begin() + mask, f.end(), a.maskRows.begin(), a.maskRows.end()));
    }
}

TEST(IconFileAssembly, ThirtyTwoBitIconWithoutOwnHeaderByteForByte)
{
    const Assembled a = Assemble(DeviceBitmap(32, 32, 32), DeviceBitmap(32, 32, 1));
    const std::uint8_t head[62] = {
        0x00, 0x00, 0x01, 0x00, 0x01, 0x00,                                                              // head
        0x20, 0x20, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA8, 0x10, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00,  // entry
        0x28, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00,  // header
        0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    ASSERT_EQ(a.file.size(), 4286u);
    EXPECT_EQ(std::memcmp(a.file.data(), head, sizeof head), 0);
}

TEST(IconFileAssembly, RefusesATableShorterThanTheHeaderSays)
{
    inspect::TIconFileParts parts;
    parts.colourHeader = inspect::PrepareBitmapHeader(DeviceBitmap(16, 16, 4), TDepthRequest::OwnDepth);
    std::vector<std::uint8_t> table(10);
    parts.colourTable = table;
    EXPECT_THROW(inspect::AssembleIconFile(parts), std::logic_error);
}

}  // namespace
