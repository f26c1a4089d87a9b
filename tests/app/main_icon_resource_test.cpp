// quillow.exe carries the design icon as its MAINICON: the icon file rebuilt
// from its icon-group resource (compiled from app/quillow.ico) is the design
// icon byte for byte, except that the resource compiler fills each entry's
// planes and bit count from the image's own header.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "desktop/handles.h"
#include "inspect/design_icon.h"
#include "support/icon_test_support.h"

namespace {

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInImage;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupEntry) == 14);

std::vector<std::uint8_t> ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type)
{
    HRSRC found = ::FindResourceW(module, name, type);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(loaded));
    return std::vector<std::uint8_t>(data, data + ::SizeofResource(module, found));
}

TEST(MainIconResource, IsTheDesignIcon)
{
    desktop::ModuleHandle program(::LoadLibraryExW(testsupport::BinPath(L"quillow.exe").c_str(), nullptr,
                                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program);
    const std::vector<std::uint8_t> group = ResourceBytes(program.get(), L"MAINICON", RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    const WORD count = static_cast<WORD>(group[4] | group[5] << 8);
    ASSERT_EQ(group.size(), 6u + count * sizeof(GroupEntry));

    // The file: the same head, entries with offsets instead of ids, images.
    std::vector<std::uint8_t> file(group.begin(), group.begin() + 6);
    std::vector<std::uint8_t> images;
    DWORD offset = 6 + 16 * count;
    for (WORD i = 0; i < count; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        const std::vector<std::uint8_t> image = ResourceBytes(program.get(), MAKEINTRESOURCEW(entry.id), RT_ICON);
        ASSERT_EQ(image.size(), entry.bytesInImage);
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.bitCount, 4);
        entry.planes = entry.bitCount = 0;  // as the icon file has them
        const auto* fields = reinterpret_cast<const std::uint8_t*>(&entry);
        file.insert(file.end(), fields, fields + 12);
        for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<std::uint8_t>(offset >> shift));
        offset += entry.bytesInImage;
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());

    const auto design = inspect::DesignIconBytes();
    EXPECT_EQ(file, std::vector<std::uint8_t>(design.begin(), design.end()));
}

}  // namespace
