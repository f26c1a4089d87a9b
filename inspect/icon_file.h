// The single-image icon file made from an icon's colour bitmap and mask:
// preparing the bitmap headers from what the platform says of a bitmap, and
// assembling the file from the prepared header, table and rows. No platform
// calls here.
//
// File layout (little-endian): directory head 0, 1, 1; one 16-byte entry
// (width and height low bytes, planes x bits per pixel as 16 bits, 0, 0,
// image size H + X + A, offset 22); the colour header with its height
// doubled and its table or colour masks (H bytes); the colour rows (X); the
// mask rows (A), no header of their own.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace inspect {

inline constexpr wchar_t kInvalidBitmapMessage[] = L"ビットマップ画像が無効です";

// What GetObjectW wrote for a bitmap, given room for a DIBSECTION.
struct TBitmapDescription {
    int written = 0;
    DIBSECTION section{};
};

// The description is long enough to carry the bitmap's own header.
inline constexpr int kOwnHeaderEnd = static_cast<int>(offsetof(DIBSECTION, dsBmih) + sizeof(BITMAPINFOHEADER));
#if !defined(_WIN64)
static_assert(sizeof(DIBSECTION) == 84, "GetObjectW is given room for 84 bytes");
static_assert(kOwnHeaderEnd == 64, "the own header ends at byte 64");
#endif

enum class TDepthRequest {
    Mask,       // 1 bit per pixel
    OwnDepth,   // the bitmap's bits per pixel x planes
};

// Bytes in one row of w pixels at b bits, rows padded to 32 bits.
std::uint32_t RowLength(std::int32_t width, unsigned bitsPerPixel);

// The 40-byte header to read a bitmap with. Starts from the bitmap's own
// header when the description carries one, else from its size; sets the
// depth, one plane, caps the important colours at the used ones and fills
// in a missing image size. Rows are always read bottom row first, as an
// icon file keeps them. Raises EAppError(kInvalidBitmapMessage) when
// nothing was described.
BITMAPINFOHEADER PrepareBitmapHeader(const TBitmapDescription& description, TDepthRequest depth);

// Number of colour-table entries behind a header (0 above 8 bits).
std::uint32_t ColourTableEntries(const BITMAPINFOHEADER& header);
// H: header and colour table, or header and three bit-field masks.
std::uint32_t HeaderAndTableSize(const BITMAPINFOHEADER& header);

struct TIconFileParts {
    BITMAPINFOHEADER colourHeader{};          // as the read left it, height not doubled
    std::span<const std::uint8_t> colourTable;  // bytes behind the header: at least H - 40
    std::span<const std::uint8_t> colourRows;   // X bytes
    std::span<const std::uint8_t> maskRows;     // A bytes
};

std::vector<std::uint8_t> AssembleIconFile(const TIconFileParts& parts);

}  // namespace inspect
