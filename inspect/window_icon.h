// The main window's icon (TIcon) and the program-icon step.
//
// A TIcon refers to an icon image, in one of three states:
//   stored - the complete bytes of an icon file (the design icon); a handle
//            for display is made from them when first needed and kept;
//   handle - an icon handle and, once a save has made them, its encoded
//            bytes;
//   empty  - neither.
// Copying a TIcon shares its image. The image owns its handle and bytes:
// when the last TIcon lets go, the handle is destroyed with DestroyIcon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace inspect {

// The platform operations of the window icon, so a fake can drive it.
class TIconPlatform {
public:
    virtual ~TIconPlatform() = default;
    virtual void DestroyIcon(HICON icon) = 0;
    // A new icon handle at the large-icon size from the bytes of an icon
    // file; null when the bytes hold no usable image.
    virtual HICON IconFromFileBytes(std::span<const std::uint8_t> bytes) = 0;
    // EncodeIconFile (raises EAppError).
    virtual std::vector<std::uint8_t> EncodeIconFile(HICON icon) = 0;
    // WriteNewFile (raises EAppError).
    virtual void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes) = 0;
    // desktop::ExtractProgramIcon.
    virtual HICON ExtractProgramIcon(const std::wstring& path, UINT index) = 0;
    // MAINICON of this program, else IDI_APPLICATION (shared, never destroyed).
    virtual HICON ApplicationIcon() = 0;
    // WM_SETICON ICON_BIG.
    virtual void SetBigIcon(HWND window, HICON icon) = 0;
};

TIconPlatform& Win32IconPlatform();

class TIcon {
public:
    enum class TState { Empty, Stored, Handle };

    // An empty icon.
    explicit TIcon(TIconPlatform& platform = Win32IconPlatform());
    // An icon in the stored state holding a copy of `fileBytes`.
    static TIcon FromStoredBytes(std::span<const std::uint8_t> fileBytes,
                                 TIconPlatform& platform = Win32IconPlatform());
    // The design icon, stored.
    static TIcon DesignIcon(TIconPlatform& platform = Win32IconPlatform());

    // Copies refer to the same image.
    TIcon(const TIcon&) = default;
    TIcon& operator=(const TIcon&) = default;
    void Assign(const TIcon& other) { *this = other; }

    // Refers to a new image that owns `handle` and has no bytes yet; the
    // previous image is let go. A null handle makes the icon empty.
    void SetHandle(HICON handle);

    TState State() const;
    // The handle of the handle state, null otherwise.
    HICON Handle() const;
    // The handle to show: the stored bytes' display handle, the held handle,
    // or null (empty, or ExtractIconW's "not an icon file" answer) when the
    // application icon stands in.
    HICON DisplayHandle() const;

    // The icon file's bytes: stored bytes unchanged; for a handle, its
    // encoding, made once and kept with the image. Raises EAppError:
    // kInvalidIconMessage for an empty icon or a value that names no icon,
    // the encoder's message when the bitmaps cannot be read.
    std::span<const std::uint8_t> FileBytes() const;

    // Writes FileBytes() to `path`. The file is created only once the bytes
    // exist, so a failed encoding leaves no file behind.
    void SaveToFile(const std::wstring& path) const;

    TIconPlatform& Platform() const { return *m_platform; }

private:
    class TImage;
    TIconPlatform* m_platform;
    std::shared_ptr<TImage> m_image;  // null: empty
};

// Sets the window's large icon to the icon's display handle, or to the
// application icon when it has none. Only the large icon is set.
void ShowWindowIcon(HWND window, const TIcon& icon);

// The program-icon step: the first icon of the executable at `programPath`
// becomes `windowIcon` and is shown on `window` at once; the image held
// before is let go after the new one is shown. Whatever ExtractIconW answers
// is taken (0: empty, shown as the application icon). An empty path leaves
// the icon as it was. Raises nothing.
void ShowProgramIcon(HWND window, TIcon& windowIcon, const std::wstring& programPath);

}  // namespace inspect
