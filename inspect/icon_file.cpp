#include "inspect/icon_file.h"

#include <cstdlib>
#include <stdexcept>

#include "desktop/app_error.h"

namespace inspect {

namespace {

constexpr std::uint32_t kHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr std::uint32_t kBitFieldMasksSize = 3 * sizeof(DWORD);
constexpr std::uint32_t kDirectoryHeadAndEntrySize = 6 + 16;
constexpr std::uint16_t kIconResourceType = 1;
constexpr unsigned kMaxTableBits = 8;

static_assert(kHeaderSize == 40);

void Put8(std::vector<std::uint8_t>& out, std::uint32_t value) { out.push_back(static_cast<std::uint8_t>(value)); }

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put8(out, value);
    Put8(out, value >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value);
    Put16(out, value >> 16);
}

void PutHeader(std::vector<std::uint8_t>& out, const BITMAPINFOHEADER& h)
{
    Put32(out, h.biSize);
    Put32(out, static_cast<std::uint32_t>(h.biWidth));
    Put32(out, static_cast<std::uint32_t>(h.biHeight));
    Put16(out, h.biPlanes);
    Put16(out, h.biBitCount);
    Put32(out, h.biCompression);
    Put32(out, h.biSizeImage);
    Put32(out, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    Put32(out, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    Put32(out, h.biClrUsed);
    Put32(out, h.biClrImportant);
}

}  // namespace

std::uint32_t RowLength(std::int32_t width, unsigned bitsPerPixel)
{
    std::uint64_t bits = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(width))) * bitsPerPixel;
    return static_cast<std::uint32_t>(((bits + 31) & ~std::uint64_t{31}) / 8);
}

BITMAPINFOHEADER PrepareBitmapHeader(const TBitmapDescription& description, TDepthRequest depth)
{
    if (description.written <= 0) throw desktop::EAppError(kInvalidBitmapMessage);
    const BITMAP& bitmap = description.section.dsBm;

    BITMAPINFOHEADER header{};
    if (description.written >= kOwnHeaderEnd && description.section.dsBmih.biSize >= kHeaderSize) {
        header = description.section.dsBmih;
        header.biSize = kHeaderSize;
    } else {
        header.biSize = kHeaderSize;
        header.biWidth = bitmap.bmWidth;
        header.biHeight = bitmap.bmHeight;
    }
    // A top-down header would make the reader hand out rows top row first;
    // an icon file holds them bottom row first.
    if (header.biHeight < 0) header.biHeight = -header.biHeight;

    header.biBitCount = depth == TDepthRequest::Mask
                            ? WORD{1}
                            : static_cast<WORD>(static_cast<unsigned>(bitmap.bmBitsPixel) * bitmap.bmPlanes);
    header.biPlanes = 1;
    if (header.biClrImportant > header.biClrUsed) header.biClrImportant = header.biClrUsed;
    if (header.biSizeImage == 0)
        header.biSizeImage = RowLength(header.biWidth, header.biBitCount) * static_cast<std::uint32_t>(header.biHeight);
    return header;
}

std::uint32_t ColourTableEntries(const BITMAPINFOHEADER& header)
{
    if (header.biBitCount > kMaxTableBits) return 0;
    const std::uint32_t full = std::uint32_t{1} << header.biBitCount;
    // A table never has more entries than the depth can index.
    return header.biClrUsed != 0 && header.biClrUsed < full ? header.biClrUsed : full;
}

std::uint32_t HeaderAndTableSize(const BITMAPINFOHEADER& header)
{
    if (header.biBitCount <= kMaxTableBits) return kHeaderSize + sizeof(RGBQUAD) * ColourTableEntries(header);
    if (header.biCompression == BI_BITFIELDS) return kHeaderSize + kBitFieldMasksSize;
    return kHeaderSize;
}

std::vector<std::uint8_t> AssembleIconFile(const TIconFileParts& parts)
{
    const BITMAPINFOHEADER& colour = parts.colourHeader;
    const std::uint32_t tableSize = HeaderAndTableSize(colour) - kHeaderSize;
    if (parts.colourTable.size() < tableSize) throw std::logic_error("colour table shorter than its header says");
    const auto imageSize =
        static_cast<std::uint32_t>(kHeaderSize + tableSize + parts.colourRows.size() + parts.maskRows.size());

    std::vector<std::uint8_t> out;
    out.reserve(kDirectoryHeadAndEntrySize + imageSize);
    Put16(out, 0);  // reserved
    Put16(out, kIconResourceType);
    Put16(out, 1);  // one image
    Put8(out, static_cast<std::uint32_t>(colour.biWidth));   // 256 gives 0
    Put8(out, static_cast<std::uint32_t>(colour.biHeight));  // the icon's height, not doubled
    Put16(out, static_cast<std::uint32_t>(colour.biPlanes) * colour.biBitCount);
    Put16(out, 0);  // planes
    Put16(out, 0);  // bit count
    Put32(out, imageSize);
    Put32(out, kDirectoryHeadAndEntrySize);

    BITMAPINFOHEADER doubled = colour;  // colour rows and mask rows
    doubled.biHeight = colour.biHeight * 2;
    PutHeader(out, doubled);
    out.insert(out.end(), parts.colourTable.begin(), parts.colourTable.begin() + tableSize);
    out.insert(out.end(), parts.colourRows.begin(), parts.colourRows.end());
    out.insert(out.end(), parts.maskRows.begin(), parts.maskRows.end());
    return out;
}

}  // namespace inspect
