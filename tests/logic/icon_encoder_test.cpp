// EncodeIconFile over a fake of the platform's bitmap reads: what it asks
// for, what it puts where, and that both bitmaps go on every path.
#include "inspect/icon_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "desktop/app_error.h"
#include "inspect/icon_file.h"

namespace {

HBITMAP FakeBitmap(std::uintptr_t value) { return reinterpret_cast<HBITMAP>(value); }
HICON FakeIcon(std::uintptr_t value) { return reinterpret_cast<HICON>(value); }

const HBITMAP kColour = FakeBitmap(0xC0);
const HBITMAP kMask = FakeBitmap(0x3A);

struct FakeBitmapData {
    int written = 0;  // what GetObjectW reports
    DIBSECTION section{};
    std::uint8_t fill = 0;  // every row byte the read hands out
    bool readFails = false;
};

class FakeBitmaps final : public inspect::TIconBitmapApi {
public:
    bool iconInfoFails = false;
    HBITMAP colour = kColour;
    std::map<HBITMAP, FakeBitmapData> bitmaps;
    std::vector<HBITMAP> deleted;
    struct Read {
        HBITMAP bitmap;
        UINT lines;
        BITMAPINFOHEADER header;
    };
    std::vector<Read> reads;

    bool GetIconInfo(HICON, ICONINFO& info) override
    {
        if (iconInfoFails) return false;
        info.fIcon = TRUE;
        info.hbmColor = colour;
        info.hbmMask = kMask;
        return true;
    }
    int GetObject(HBITMAP bitmap, int size, void* description) override
    {
        auto found = bitmaps.find(bitmap);
        if (!bitmap || found == bitmaps.end()) return 0;
        EXPECT_EQ(size, static_cast<int>(sizeof(DIBSECTION)));
        std::memcpy(description, &found->second.section, static_cast<std::size_t>(found->second.written));
        return found->second.written;
    }
    int GetDIBits(HBITMAP bitmap, UINT lines, void* rows, BITMAPINFO* info) override
    {
        reads.push_back({bitmap, lines, info->bmiHeader});
        const FakeBitmapData& data = bitmaps.at(bitmap);
        if (data.readFails) return 0;
        const BITMAPINFOHEADER& h = info->bmiHeader;
        std::memset(rows, data.fill, inspect::RowLength(h.biWidth, h.biBitCount) * lines);
        // The colour table (or the three masks) lands behind the header.
        auto* table = reinterpret_cast<std::uint8_t*>(info->bmiColors);
        const std::uint32_t tableBytes = inspect::HeaderAndTableSize(h) - 40;
        for (std::uint32_t i = 0; i < tableBytes; ++i) table[i] = static_cast<std::uint8_t>(0xA0 + i % 16);
        return static_cast<int>(lines);
    }
    void DeleteObject(HBITMAP bitmap) override { deleted.push_back(bitmap); }
};

FakeBitmapData Device(int width, int height, int bits, std::uint8_t fill)
{
    FakeBitmapData d;
    d.written = sizeof(BITMAP);
    d.section.dsBm.bmWidth = width;
    d.section.dsBm.bmHeight = height;
    d.section.dsBm.bmPlanes = 1;
    d.section.dsBm.bmBitsPixel = static_cast<WORD>(bits);
    d.fill = fill;
    return d;
}

FakeBitmaps IconOf(int size, int bits)
{
    FakeBitmaps fake;
    fake.bitmaps[kColour] = Device(size, size, bits, 0x77);
    fake.bitmaps[kMask] = Device(size, size, 1, 0x0F);
    return fake;
}

TEST(EncodeIconFile, ReadsEachBitmapOnceAndPlacesRowsBehindTheHeader)
{
    FakeBitmaps fake = IconOf(32, 32);
    std::vector<std::uint8_t> file = inspect::EncodeIconFile(FakeIcon(0x100), fake);

    ASSERT_EQ(file.size(), 4286u);
    ASSERT_EQ(fake.reads.size(), 2u);
    for (const auto& read : fake.reads) {
        EXPECT_EQ(read.lines, 32u);
        EXPECT_EQ(read.header.biHeight, 32);
        EXPECT_EQ(read.header.biPlanes, 1);
    }
    const auto& maskRead = fake.reads[0].bitmap == kMask ? fake.reads[0] : fake.reads[1];
    const auto& colourRead = fake.reads[0].bitmap == kColour ? fake.reads[0] : fake.reads[1];
    EXPECT_EQ(maskRead.header.biBitCount, 1);
    EXPECT_EQ(colourRead.header.biBitCount, 32);
    EXPECT_EQ(std::count(file.begin() + 62, file.begin() + 62 + 4096, 0x77), 4096);
    EXPECT_EQ(std::count(file.begin() + 62 + 4096, file.end(), 0x0F), 128);
    EXPECT_EQ(std::set<HBITMAP>(fake.deleted.begin(), fake.deleted.end()), (std::set<HBITMAP>{kColour, kMask}));
    EXPECT_EQ(fake.deleted.size(), 2u);
}

TEST(EncodeIconFile, ColourTableAndBitFieldMasksComeFromTheRead)
{
    struct Case {
        const char* label;
        FakeBitmapData colour;
        std::size_t fileSize;
        std::size_t tableBytes;
    };
    FakeBitmapData bitFields = Device(16, 16, 32, 0x55);
    bitFields.written = sizeof(DIBSECTION);
    bitFields.section.dsBmih.biSize = 40;
    bitFields.section.dsBmih.biWidth = 16;
    bitFields.section.dsBmih.biHeight = 16;
    bitFields.section.dsBmih.biBitCount = 32;
    bitFields.section.dsBmih.biCompression = BI_BITFIELDS;
    const Case cases[] = {
        {"4 bits: 16 entries", Device(32, 32, 4, 0x12), 766, 64},
        {"8 bits: 256 entries", Device(16, 16, 8, 0x12), 22 + 1064 + 256 + 64, 1024},
        {"bit fields: three masks", bitFields, 22 + 52 + 1024 + 64, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeBitmaps fake;
        fake.bitmaps[kColour] = c.colour;
        fake.bitmaps[kMask] = Device(c.colour.section.dsBm.bmWidth, c.colour.section.dsBm.bmHeight, 1, 0);
        std::vector<std::uint8_t> file = inspect::EncodeIconFile(FakeIcon(0x100), fake);
        ASSERT_EQ(file.size(), c.fileSize);
        for (std::size_t i = 0; i < c.tableBytes; ++i) ASSERT_EQ(file[62 + i], 0xA0 + i % 16) << i;
    }
}

TEST(EncodeIconFile, FailuresRaiseTheirMessageAndDeleteBothBitmaps)
{
    struct Case {
        const char* label;
        void (*arrange)(FakeBitmaps&);
        const wchar_t* message;
        std::set<HBITMAP> deleted;
    };
    const Case cases[] = {
        {"the handle names no icon", [](FakeBitmaps& f) { f.iconInfoFails = true; }, L"アイコン画像が無効です", {}},
        {"monochrome icon: no colour bitmap",
         [](FakeBitmaps& f) {
             f.colour = nullptr;
             f.bitmaps[kMask] = Device(32, 64, 1, 0);
         },
         L"ビットマップ画像が無効です", {kMask}},
        {"mask cannot be described", [](FakeBitmaps& f) { f.bitmaps.erase(kMask); }, L"ビットマップ画像が無効です",
         {kColour, kMask}},
        {"colour cannot be described", [](FakeBitmaps& f) { f.bitmaps[kColour].written = 0; },
         L"ビットマップ画像が無効です", {kColour, kMask}},
        {"colour rows cannot be read", [](FakeBitmaps& f) { f.bitmaps[kColour].readFails = true; },
         L"ビットマップ画像が無効です", {kColour, kMask}},
        {"mask rows cannot be read", [](FakeBitmaps& f) { f.bitmaps[kMask].readFails = true; },
         L"ビットマップ画像が無効です", {kColour, kMask}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeBitmaps fake = IconOf(32, 32);
        c.arrange(fake);
        try {
            inspect::EncodeIconFile(FakeIcon(0x100), fake);
            ADD_FAILURE() << "no exception";
        } catch (const desktop::EAppError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(std::set<HBITMAP>(fake.deleted.begin(), fake.deleted.end()), c.deleted);
        EXPECT_EQ(fake.deleted.size(), c.deleted.size()) << "a bitmap deleted twice";
    }
}

}  // namespace
