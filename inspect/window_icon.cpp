#include "inspect/window_icon.h"

#include <optional>

#include "desktop/app_error.h"
#include "desktop/program_icon.h"
#include "inspect/design_icon.h"
#include "inspect/icon_directory.h"
#include "inspect/icon_encoder.h"
#include "inspect/icon_file_writer.h"

namespace inspect {

namespace {

constexpr wchar_t kMainIconName[] = L"MAINICON";
constexpr DWORD kIconFormatVersion = 0x00030000;

class Win32Icons final : public TIconPlatform {
public:
    void DestroyIcon(HICON icon) override { ::DestroyIcon(icon); }

    HICON IconFromFileBytes(std::span<const std::uint8_t> bytes) override
    {
        std::optional<std::vector<std::uint8_t>> group = GroupDirectoryFromIconFile(bytes);
        if (!group) return nullptr;
        const int width = ::GetSystemMetrics(SM_CXICON);
        const int height = ::GetSystemMetrics(SM_CYICON);
        const int number = ::LookupIconIdFromDirectoryEx(group->data(), TRUE, width, height, LR_DEFAULTCOLOR);
        if (number <= 0) return nullptr;
        std::span<const std::uint8_t> image = IconFileImage(bytes, number);
        // The function reads the bytes only; its parameter is not const.
        return ::CreateIconFromResourceEx(const_cast<PBYTE>(image.data()), static_cast<DWORD>(image.size()), TRUE,
                                          kIconFormatVersion, width, height, LR_DEFAULTCOLOR);
    }

    std::vector<std::uint8_t> EncodeIconFile(HICON icon) override { return inspect::EncodeIconFile(icon); }

    void WriteNewFile(const std::wstring& path, std::span<const std::uint8_t> bytes) override
    {
        inspect::WriteNewFile(path, bytes);
    }

    HICON ExtractProgramIcon(const std::wstring& path, UINT index) override
    {
        return desktop::ExtractProgramIcon(path, index);
    }

    HICON ApplicationIcon() override
    {
        HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), kMainIconName);
        return icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
    }

    void SetBigIcon(HWND window, HICON icon) override
    {
        // The previous icon it answers belongs to its holder, not to us.
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
};

}  // namespace

// The shared image: owns its handle (destroyed when the last holder lets
// go) and the bytes of its icon file.
class TIcon::TImage {
public:
    TImage(TIconPlatform& platform, HICON handle) : m_platform(platform), m_handle(handle) {}
    TImage(TIconPlatform& platform, std::span<const std::uint8_t> stored)
        : m_platform(platform), m_stored(true), m_bytes(std::vector<std::uint8_t>(stored.begin(), stored.end()))
    {
    }
    ~TImage()
    {
        if (m_handle && !desktop::IsNotAnIconFileAnswer(m_handle)) m_platform.DestroyIcon(m_handle);
    }
    TImage(const TImage&) = delete;
    TImage& operator=(const TImage&) = delete;

    bool IsStored() const { return m_stored; }
    HICON Handle() const { return m_stored ? nullptr : m_handle; }

    HICON DisplayHandle()
    {
        if (m_stored && !m_handle) m_handle = m_platform.IconFromFileBytes(*m_bytes);
        return desktop::IsNotAnIconFileAnswer(m_handle) ? nullptr : m_handle;
    }

    const std::vector<std::uint8_t>& FileBytes()
    {
        if (!m_bytes) {
            if (desktop::IsNotAnIconFileAnswer(m_handle)) throw desktop::EAppError(kInvalidIconMessage);
            m_bytes = m_platform.EncodeIconFile(m_handle);  // nothing kept when it raises
        }
        return *m_bytes;
    }

private:
    TIconPlatform& m_platform;
    bool m_stored = false;
    HICON m_handle = nullptr;  // stored: the display handle made from the bytes
    std::optional<std::vector<std::uint8_t>> m_bytes;
};

TIconPlatform& Win32IconPlatform()
{
    static Win32Icons platform;
    return platform;
}

TIcon::TIcon(TIconPlatform& platform) : m_platform(&platform) {}

TIcon TIcon::FromStoredBytes(std::span<const std::uint8_t> fileBytes, TIconPlatform& platform)
{
    TIcon icon(platform);
    icon.m_image = std::make_shared<TImage>(platform, fileBytes);
    return icon;
}

TIcon TIcon::DesignIcon(TIconPlatform& platform) { return FromStoredBytes(DesignIconBytes(), platform); }

void TIcon::SetHandle(HICON handle)
{
    m_image = handle ? std::make_shared<TImage>(*m_platform, handle) : nullptr;
}

TIcon::TState TIcon::State() const
{
    if (!m_image) return TState::Empty;
    return m_image->IsStored() ? TState::Stored : TState::Handle;
}

HICON TIcon::Handle() const { return m_image ? m_image->Handle() : nullptr; }

HICON TIcon::DisplayHandle() const { return m_image ? m_image->DisplayHandle() : nullptr; }

std::span<const std::uint8_t> TIcon::FileBytes() const
{
    if (!m_image) throw desktop::EAppError(kInvalidIconMessage);
    return m_image->FileBytes();
}

void TIcon::SaveToFile(const std::wstring& path) const
{
    const std::shared_ptr<TImage> image = m_image;  // held while the file is written
    std::span<const std::uint8_t> bytes = FileBytes();
    m_platform->WriteNewFile(path, bytes);
}

void ShowWindowIcon(HWND window, const TIcon& icon)
{
    HICON handle = icon.DisplayHandle();
    icon.Platform().SetBigIcon(window, handle ? handle : icon.Platform().ApplicationIcon());
}

void ShowProgramIcon(HWND window, TIcon& windowIcon, const std::wstring& programPath)
{
    if (programPath.empty()) return;
    TIcon temporary(windowIcon.Platform());
    temporary.SetHandle(windowIcon.Platform().ExtractProgramIcon(programPath, 0));
    // The window still shows the old handle until it is given the new one.
    const TIcon previous = windowIcon;
    windowIcon = temporary;
    ShowWindowIcon(window, windowIcon);
}

}  // namespace inspect
