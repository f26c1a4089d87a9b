#include "inspect/icon_directory.h"

namespace inspect {

namespace {

constexpr std::size_t kHeadSize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kEntryFieldsSize = 12;  // width ... bytes in image, shared by both kinds
constexpr std::size_t kImageOffsetField = 12;
constexpr std::uint32_t kIconType = 1;

std::uint32_t Read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return bytes[at] | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

std::size_t EntryAt(int number) { return kHeadSize + kFileEntrySize * static_cast<std::size_t>(number - 1); }

}  // namespace

std::optional<std::vector<std::uint8_t>> GroupDirectoryFromIconFile(std::span<const std::uint8_t> file)
{
    if (file.size() < kHeadSize || Read16(file, 0) != 0 || Read16(file, 2) != kIconType) return std::nullopt;
    const std::uint32_t count = Read16(file, 4);
    if (count == 0 || file.size() < kHeadSize + kFileEntrySize * count) return std::nullopt;

    std::vector<std::uint8_t> group(file.begin(), file.begin() + kHeadSize);
    for (std::uint32_t number = 1; number <= count; ++number) {
        const std::size_t entry = EntryAt(static_cast<int>(number));
        const std::uint64_t size = Read32(file, entry + 8);
        const std::uint64_t offset = Read32(file, entry + kImageOffsetField);
        if (size == 0 || offset + size > file.size()) return std::nullopt;
        group.insert(group.end(), file.begin() + entry, file.begin() + entry + kEntryFieldsSize);
        group.push_back(static_cast<std::uint8_t>(number));
        group.push_back(static_cast<std::uint8_t>(number >> 8));
    }
    return group;
}

std::span<const std::uint8_t> IconFileImage(std::span<const std::uint8_t> file, int number)
{
    const std::size_t entry = EntryAt(number);
    return file.subspan(Read32(file, entry + kImageOffsetField), Read32(file, entry + 8));
}

}  // namespace inspect
