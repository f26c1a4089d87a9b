#include "inspect/icon_encoder.h"

#include <algorithm>
#include <cstdlib>

#include "desktop/app_error.h"
#include "desktop/handles.h"
#include "inspect/icon_file.h"

namespace inspect {

namespace {

class Win32Bitmaps final : public TIconBitmapApi {
public:
    bool GetIconInfo(HICON icon, ICONINFO& info) override { return ::GetIconInfo(icon, &info) != FALSE; }
    int GetObject(HBITMAP bitmap, int size, void* description) override
    {
        return ::GetObjectW(bitmap, size, description);
    }
    int GetDIBits(HBITMAP bitmap, UINT lines, void* rows, BITMAPINFO* info) override
    {
        desktop::MemoryDcHandle dc(::CreateCompatibleDC(nullptr));
        if (!dc) return 0;
        return ::GetDIBits(dc.get(), bitmap, 0, lines, rows, info, DIB_RGB_COLORS);
    }
    void DeleteObject(HBITMAP bitmap) override { ::DeleteObject(bitmap); }
};

// Deletes a bitmap GetIconInfo made, through the same seam.
class IconBitmap {
public:
    IconBitmap(TIconBitmapApi& api, HBITMAP bitmap) : m_api(api), m_bitmap(bitmap) {}
    ~IconBitmap()
    {
        if (m_bitmap) m_api.DeleteObject(m_bitmap);
    }
    IconBitmap(const IconBitmap&) = delete;
    IconBitmap& operator=(const IconBitmap&) = delete;
    HBITMAP get() const { return m_bitmap; }

private:
    TIconBitmapApi& m_api;
    HBITMAP m_bitmap;
};

// A header followed by room for the largest colour table.
struct BitmapInfoBuffer {
    BITMAPINFOHEADER header;
    RGBQUAD table[256];
};

TBitmapDescription Describe(TIconBitmapApi& api, HBITMAP bitmap)
{
    TBitmapDescription description;
    description.written = api.GetObject(bitmap, sizeof(DIBSECTION), &description.section);
    return description;
}

struct ReadBitmap {
    BitmapInfoBuffer info{};
    std::vector<std::uint8_t> rows;  // the header's image size, no more
};

ReadBitmap Read(TIconBitmapApi& api, HBITMAP bitmap, const BITMAPINFOHEADER& header)
{
    ReadBitmap read;
    read.info.header = header;
    const auto lines = static_cast<UINT>(std::abs(header.biHeight));
    // The reader writes whole rows whatever the header's size field says.
    const std::size_t wholeRows = RowLength(header.biWidth, header.biBitCount) * std::size_t{lines};
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(header.biSizeImage, wholeRows));
    if (api.GetDIBits(bitmap, lines, buffer.data(), reinterpret_cast<BITMAPINFO*>(&read.info)) == 0)
        throw desktop::EAppError(kInvalidBitmapMessage);
    buffer.resize(header.biSizeImage);
    read.rows = std::move(buffer);
    return read;
}

}  // namespace

TIconBitmapApi& Win32IconBitmapApi()
{
    static Win32Bitmaps api;
    return api;
}

std::vector<std::uint8_t> EncodeIconFile(HICON icon) { return EncodeIconFile(icon, Win32IconBitmapApi()); }

std::vector<std::uint8_t> EncodeIconFile(HICON icon, TIconBitmapApi& api)
{
    ICONINFO info{};
    if (!api.GetIconInfo(icon, info)) throw desktop::EAppError(kInvalidIconMessage);
    IconBitmap colour(api, info.hbmColor);
    IconBitmap mask(api, info.hbmMask);

    const BITMAPINFOHEADER maskHeader = PrepareBitmapHeader(Describe(api, mask.get()), TDepthRequest::Mask);
    const BITMAPINFOHEADER colourHeader = PrepareBitmapHeader(Describe(api, colour.get()), TDepthRequest::OwnDepth);

    const ReadBitmap maskRead = Read(api, mask.get(), maskHeader);
    const ReadBitmap colourRead = Read(api, colour.get(), colourHeader);

    TIconFileParts parts;
    parts.colourHeader = colourRead.info.header;
    parts.colourTable = {reinterpret_cast<const std::uint8_t*>(colourRead.info.table), sizeof colourRead.info.table};
    parts.colourRows = colourRead.rows;
    parts.maskRows = maskRead.rows;
    return AssembleIconFile(parts);
}

}  // namespace inspect
