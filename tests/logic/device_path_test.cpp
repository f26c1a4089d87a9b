// Turning a device-form image path back into a drive-letter path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/program_path.h"

namespace {

using desktop::TDriveTable;

struct TDrive {
    wchar_t Letter;
    const wchar_t* DeviceName;
    bool Exists = true;
};

TDriveTable TableOf(const std::vector<TDrive>& drives)
{
    TDriveTable table;
    for (const TDrive& drive : drives) table[drive.Letter - L'A'] = {drive.Exists, drive.DeviceName};
    return table;
}

struct TTranslationCase {
    const char* Name;
    std::vector<TDrive> Drives;
    const wchar_t* Path;
    const wchar_t* Expected;
};

TEST(DevicePathToDrivePath, TranslatesTheFirstMatchingDrive)
{
    const TTranslationCase cases[] = {
        {"device of drive C", {{L'C', L"\\Device\\HarddiskVolume3"}},
         L"\\Device\\HarddiskVolume3\\Windows\\System32\\notepad.exe", L"C:\\Windows\\System32\\notepad.exe"},
        {"Volume1 is no prefix of Volume10",
         {{L'C', L"\\Device\\HarddiskVolume1"}, {L'D', L"\\Device\\HarddiskVolume10"}},
         L"\\Device\\HarddiskVolume10\\app\\x.exe", L"D:\\app\\x.exe"},
        {"device no letter stands for", {{L'C', L"\\Device\\HarddiskVolume3"}}, L"\\Device\\Mup\\server\\share\\x.exe",
         L"\\Device\\Mup\\server\\share\\x.exe"},
        {"device name alone, no backslash after it", {{L'C', L"\\Device\\HarddiskVolume3"}},
         L"\\Device\\HarddiskVolume3", L"\\Device\\HarddiskVolume3"},
        {"device name followed by other characters", {{L'C', L"\\Device\\HarddiskVolume3"}},
         L"\\Device\\HarddiskVolume3x\\a.exe", L"\\Device\\HarddiskVolume3x\\a.exe"},
        {"case differs", {{L'C', L"\\Device\\HarddiskVolume3"}}, L"\\device\\harddiskvolume3\\x.exe",
         L"\\device\\harddiskvolume3\\x.exe"},
        {"letter whose bit is clear", {{L'C', L"\\Device\\HarddiskVolume3", false}},
         L"\\Device\\HarddiskVolume3\\x.exe", L"\\Device\\HarddiskVolume3\\x.exe"},
        {"empty path", {{L'C', L"\\Device\\HarddiskVolume3"}}, L"", L""},
        {"two letters for one device: the earlier wins",
         {{L'E', L"\\Device\\HarddiskVolume3"}, {L'F', L"\\Device\\HarddiskVolume3"}},
         L"\\Device\\HarddiskVolume3\\x.exe", L"E:\\x.exe"},
        {"drive without device name is skipped", {{L'A', L""}, {L'D', L"\\Device\\HarddiskVolume4"}},
         L"\\Device\\HarddiskVolume4\\x.exe", L"D:\\x.exe"},
        {"drive without device name takes no path", {{L'A', L""}}, L"\\Device\\Mup\\x.exe", L"\\Device\\Mup\\x.exe"},
        {"drives A and Z at the ends of the table", {{L'A', L"\\Device\\Floppy0"}, {L'Z', L"\\Device\\Net"}},
         L"\\Device\\Net\\x.exe", L"Z:\\x.exe"},
        {"no drives", {}, L"\\Device\\HarddiskVolume3\\x.exe", L"\\Device\\HarddiskVolume3\\x.exe"},
        {"backslash right after the device name is kept", {{L'C', L"\\Device\\HarddiskVolume3"}},
         L"\\Device\\HarddiskVolume3\\", L"C:\\"},
    };
    for (const TTranslationCase& c : cases)
        EXPECT_EQ(desktop::DevicePathToDrivePath(c.Path, TableOf(c.Drives)), c.Expected) << c.Name;
}

// Records what the translation reads, so the reading rule shows.
class TRecordingDriveSource final : public desktop::TDriveSource {
public:
    TRecordingDriveSource(std::uint32_t mask, TDriveTable names) : m_mask(mask), m_names(std::move(names)) {}

    std::uint32_t LogicalDriveMask() override
    {
        ++MaskReads;
        return m_mask;
    }
    std::wstring DeviceNameOf(wchar_t letter) override
    {
        Queried += letter;
        return m_names[letter - L'A'].DeviceName;
    }

    int MaskReads = 0;
    std::wstring Queried;

private:
    std::uint32_t m_mask;
    TDriveTable m_names;
};

struct TReadingCase {
    const char* Name;
    std::uint32_t Mask;
    const wchar_t* Path;
    const wchar_t* ExpectedPath;
    const wchar_t* ExpectedQueried;
};

TEST(DevicePathToDrivePath, ReadsSetLettersInOrderUntilTheFirstMatch)
{
    // Every letter has a device name; only the mask decides which are read.
    TDriveTable names;
    for (int i = 0; i < desktop::kDriveLetterCount; ++i)
        names[i] = {true, L"\\Device\\Volume" + std::wstring(1, static_cast<wchar_t>(L'A' + i))};
    constexpr std::uint32_t kACDZ = (1u << 0) | (1u << 2) | (1u << 3) | (1u << 25);
    const TReadingCase cases[] = {
        {"stops at the first match", kACDZ, L"\\Device\\VolumeC\\x.exe", L"C:\\x.exe", L"AC"},
        {"no match reads every set letter", kACDZ, L"\\Device\\Mup\\x.exe", L"\\Device\\Mup\\x.exe", L"ACDZ"},
        {"clear letter never read even if it would match", kACDZ, L"\\Device\\VolumeB\\x.exe",
         L"\\Device\\VolumeB\\x.exe", L"ACDZ"},
        {"empty mask reads nothing", 0, L"\\Device\\VolumeC\\x.exe", L"\\Device\\VolumeC\\x.exe", L""},
        {"bits above Z are no letters", 0xFC000000u, L"\\Device\\VolumeC\\x.exe", L"\\Device\\VolumeC\\x.exe", L""},
    };
    for (const TReadingCase& c : cases) {
        TRecordingDriveSource source(c.Mask, names);
        EXPECT_EQ(desktop::DevicePathToDrivePath(c.Path, source), c.ExpectedPath) << c.Name;
        EXPECT_EQ(source.MaskReads, 1) << c.Name;
        EXPECT_EQ(source.Queried, c.ExpectedQueried) << c.Name;
    }
}

}  // namespace
