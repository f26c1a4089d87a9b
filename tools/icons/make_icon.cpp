// Writes a 16-colour ICO file from a readable picture description, and
// optionally a C++ source that holds the same bytes.
//   make_icon DESCRIPTION OUT.ico [OUT.cpp]
// The description: lines starting with "#" are comments; "image N" starts
// an N x N picture of N rows of N characters each, one character a pixel:
// "." is transparent, a hex digit 0-F a colour of the standard 16-colour
// palette. Images are written in the order given, each at 4 bits per pixel
// with its AND mask; the directory entries carry 16 in the colour count and
// 0 in planes and bit count.
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Picture {
    int size = 0;
    std::vector<std::string> rows;
};

// Blue, green, red, reserved: the order of an ICO colour table.
constexpr std::uint8_t kPalette[16][4] = {
    {0x00, 0x00, 0x00, 0}, {0x00, 0x00, 0x80, 0}, {0x00, 0x80, 0x00, 0}, {0x00, 0x80, 0x80, 0},
    {0x80, 0x00, 0x00, 0}, {0x80, 0x00, 0x80, 0}, {0x80, 0x80, 0x00, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0}, {0x00, 0x00, 0xFF, 0}, {0x00, 0xFF, 0x00, 0}, {0x00, 0xFF, 0xFF, 0},
    {0xFF, 0x00, 0x00, 0}, {0xFF, 0x00, 0xFF, 0}, {0xFF, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0xFF, 0},
};
constexpr int kBitmapHeaderSize = 40;
constexpr int kColourTableSize = 16 * 4;
constexpr int kDirectoryHeadSize = 6;
constexpr int kDirectoryEntrySize = 16;

std::vector<Picture> ReadDescription(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<Picture> pictures;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("image ", 0) == 0) {
            Picture picture;
            picture.size = std::stoi(line.substr(6));
            if (picture.size <= 0 || picture.size > 255 || picture.size % 8 != 0)
                throw std::runtime_error("unsupported image size at line " + std::to_string(lineNumber));
            pictures.push_back(picture);
            continue;
        }
        if (pictures.empty()) throw std::runtime_error("pixels before \"image\" at line " + std::to_string(lineNumber));
        Picture& picture = pictures.back();
        if (static_cast<int>(line.size()) != picture.size)
            throw std::runtime_error("row of wrong width at line " + std::to_string(lineNumber));
        for (char c : line)
            if (c != '.' && !std::isxdigit(static_cast<unsigned char>(c)))
                throw std::runtime_error("unknown pixel '" + std::string(1, c) + "' at line " +
                                         std::to_string(lineNumber));
        if (static_cast<int>(picture.rows.size()) == picture.size)
            throw std::runtime_error("too many rows at line " + std::to_string(lineNumber));
        picture.rows.push_back(line);
    }
    for (const Picture& picture : pictures)
        if (static_cast<int>(picture.rows.size()) != picture.size)
            throw std::runtime_error("an image has too few rows");
    if (pictures.empty()) throw std::runtime_error("no image in " + path);
    return pictures;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

int ColourRowBytes(int size) { return ((size * 4 + 31) / 32) * 4; }
int MaskRowBytes(int size) { return ((size + 31) / 32) * 4; }

std::vector<std::uint8_t> ImageBytes(const Picture& picture)
{
    const int n = picture.size;
    const int colourBytes = ColourRowBytes(n) * n;
    const int maskBytes = MaskRowBytes(n) * n;
    std::vector<std::uint8_t> out;
    Put32(out, kBitmapHeaderSize);
    Put32(out, static_cast<std::uint32_t>(n));
    Put32(out, static_cast<std::uint32_t>(2 * n));  // colour rows and mask rows
    Put16(out, 1);                                  // planes
    Put16(out, 4);                                  // bits per pixel
    Put32(out, 0);                                  // no compression
    Put32(out, static_cast<std::uint32_t>(colourBytes + maskBytes));
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution, used and important colours
    for (const auto& entry : kPalette) out.insert(out.end(), entry, entry + 4);

    for (int y = n - 1; y >= 0; --y) {  // bottom row first
        std::vector<std::uint8_t> row(ColourRowBytes(n), 0);
        for (int x = 0; x < n; ++x) {
            char c = picture.rows[y][x];
            unsigned index = c == '.' ? 0 : static_cast<unsigned>(std::stoi(std::string(1, c), nullptr, 16));
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(MaskRowBytes(n), 0);
        for (int x = 0; x < n; ++x)
            if (picture.rows[y][x] == '.') row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> IconFile(const std::vector<Picture>& pictures)
{
    std::vector<std::vector<std::uint8_t>> images;
    for (const Picture& picture : pictures) images.push_back(ImageBytes(picture));

    std::vector<std::uint8_t> out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // icon
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = kDirectoryHeadSize + kDirectoryEntrySize * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(pictures[i].size));
        out.push_back(static_cast<std::uint8_t>(pictures[i].size));
        out.push_back(16);  // colour count
        out.push_back(0);   // reserved
        Put16(out, 0);      // planes
        Put16(out, 0);      // bit count
        Put32(out, static_cast<std::uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

void WriteIco(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteSource(const std::string& path, const std::string& descriptionName, const std::vector<std::uint8_t>& bytes)
{
    std::ostringstream text;
    text << "// The design icon: the window icon before any capture, the same file as\n"
            "// the program's MAINICON resource (app/quillow.ico).\n"
            "// Generated by tools/make-icons from "
         << descriptionName
         << ": edit the picture there.\n"
            "#include \"inspect/design_icon.h\"\n\n"
            "namespace inspect {\n\n"
            "namespace {\n\n"
            "constexpr std::uint8_t kDesignIcon["
         << bytes.size() << "] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text << (i % 16 == 0 ? "\n    " : " ") << "0x" << std::hex << std::setw(2) << std::setfill('0')
             << static_cast<unsigned>(bytes[i]) << std::dec << ",";
    }
    text << "\n};\n\n"
            "}  // namespace\n\n"
            "std::span<const std::uint8_t> DesignIconBytes() { return kDesignIcon; }\n\n"
            "}  // namespace inspect\n";
    std::ofstream out(path, std::ios::binary);
    out << text.str();
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string FileName(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: make_icon DESCRIPTION OUT.ico [OUT.cpp]\n";
        return 2;
    }
    try {
        std::vector<std::uint8_t> bytes = IconFile(ReadDescription(argv[1]));
        WriteIco(argv[2], bytes);
        if (argc == 4) WriteSource(argv[3], "tools/icons/" + FileName(argv[1]), bytes);
    } catch (const std::exception& error) {
        std::cerr << "make_icon: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
