// EncodeIconFile: the bytes of a single-image icon file for an icon handle,
// read from the icon's colour bitmap and mask.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace inspect {

inline constexpr wchar_t kInvalidIconMessage[] = L"アイコン画像が無効です";

// The platform reads EncodeIconFile makes, so a fake can drive it.
class TIconBitmapApi {
public:
    virtual ~TIconBitmapApi() = default;
    // GetIconInfo: new colour and mask bitmaps (no colour bitmap for a
    // monochrome icon) that the caller deletes.
    virtual bool GetIconInfo(HICON icon, ICONINFO& info) = 0;
    // GetObjectW: the bytes of description written (0 for no bitmap).
    virtual int GetObject(HBITMAP bitmap, int size, void* description) = 0;
    // GetDIBits through a memory DC compatible with the screen, rows from 0,
    // colours as RGB values: the lines read, 0 on failure.
    virtual int GetDIBits(HBITMAP bitmap, UINT lines, void* rows, BITMAPINFO* info) = 0;
    virtual void DeleteObject(HBITMAP bitmap) = 0;
};

TIconBitmapApi& Win32IconBitmapApi();

// Raises EAppError: kInvalidIconMessage when the handle names no icon,
// kInvalidBitmapMessage when a bitmap cannot be described or read (a
// monochrome icon has no colour bitmap). Both bitmaps are deleted on every
// path.
std::vector<std::uint8_t> EncodeIconFile(HICON icon);
std::vector<std::uint8_t> EncodeIconFile(HICON icon, TIconBitmapApi& api);

}  // namespace inspect
