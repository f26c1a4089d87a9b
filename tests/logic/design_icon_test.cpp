// The design icon's file layout, and reading icon-file directories.
#include "inspect/design_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "inspect/icon_directory.h"

namespace {

std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

TEST(DesignIcon, HasTheLayoutOfTwoSixteenColourImages)
{
    const auto icon = inspect::DesignIconBytes();
    ASSERT_EQ(icon.size(), 1078u);
    EXPECT_EQ(Le(icon, 0, 2), 0u);
    EXPECT_EQ(Le(icon, 2, 2), 1u);
    EXPECT_EQ(Le(icon, 4, 2), 2u);
    struct Entry {
        std::size_t at;
        std::uint32_t size, bytes, offset, imageSize;
    } entries[] = {{6, 32, 744, 38, 640}, {22, 16, 296, 782, 192}};
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.size);
        EXPECT_EQ(icon[e.at], e.size);
        EXPECT_EQ(icon[e.at + 1], e.size);
        EXPECT_EQ(icon[e.at + 2], 16) << "colour count";
        EXPECT_EQ(icon[e.at + 3], 0);
        EXPECT_EQ(Le(icon, e.at + 4, 2), 0u) << "planes";
        EXPECT_EQ(Le(icon, e.at + 6, 2), 0u) << "bit count";
        EXPECT_EQ(Le(icon, e.at + 8, 4), e.bytes);
        EXPECT_EQ(Le(icon, e.at + 12, 4), e.offset);
        // The image's bitmap header.
        EXPECT_EQ(Le(icon, e.offset, 4), 40u);
        EXPECT_EQ(Le(icon, e.offset + 4, 4), e.size);
        EXPECT_EQ(Le(icon, e.offset + 8, 4), 2 * e.size);
        EXPECT_EQ(Le(icon, e.offset + 12, 2), 1u);
        EXPECT_EQ(Le(icon, e.offset + 14, 2), 4u);
        EXPECT_EQ(Le(icon, e.offset + 16, 4), 0u);
        EXPECT_EQ(Le(icon, e.offset + 20, 4), e.imageSize);
    }
}

TEST(IconFileDirectory, BecomesAGroupDirectoryNumberedFromOne)
{
    const auto icon = inspect::DesignIconBytes();
    auto group = inspect::GroupDirectoryFromIconFile(icon);
    ASSERT_TRUE(group);
    ASSERT_EQ(group->size(), 6u + 2 * 14);
    EXPECT_TRUE(std::equal(group->begin(), group->begin() + 18, icon.begin()));
    EXPECT_EQ(Le(*group, 18, 2), 1u);
    EXPECT_TRUE(std::equal(group->begin() + 20, group->begin() + 32, icon.begin() + 22));
    EXPECT_EQ(Le(*group, 32, 2), 2u);
    auto second = inspect::IconFileImage(icon, 2);
    EXPECT_EQ(second.data(), icon.data() + 782);
    EXPECT_EQ(second.size(), 296u);
}

TEST(IconFileDirectory, RefusesBytesThatAreNoIconFile)
{
    const auto design = inspect::DesignIconBytes();
    std::vector<std::uint8_t> icon(design.begin(), design.end());
    struct Case {
        const char* label;
        std::vector<std::uint8_t> bytes;
    };
    auto changed = [&](std::size_t at, std::uint8_t value) {
        auto copy = icon;
        copy[at] = value;
        return copy;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"head only", {0, 0, 1, 0}},
        {"a cursor file", changed(2, 2)},
        {"no images", changed(4, 0)},
        {"more entries than bytes", changed(4, 200)},
        {"image past the end", std::vector<std::uint8_t>(icon.begin(), icon.end() - 1)},
        {"image of no bytes", [&] {
             auto copy = icon;
             std::fill(copy.begin() + 30, copy.begin() + 34, 0);
             return copy;
         }()},
    };
    for (const Case& c : cases) EXPECT_FALSE(inspect::GroupDirectoryFromIconFile(c.bytes)) << c.label;
}

}  // namespace
