#include "IconFile.h"

#include "Icon.h"
#include "PngWriter.h"

#include <cstdint>

namespace {

void putLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

} // namespace

// The file is a directory of images followed by the images: a 6-byte header (reserved, type 1
// for icons, count), then 16 bytes per image (width and height, 0 meaning 256; colours;
// reserved; planes; bits per pixel; byte count; offset of its data).
bool writeWindowsIcon(const std::string& path, const std::vector<int>& sizes)
{
    std::vector<std::vector<unsigned char>> images;
    for (int size : sizes) {
        if (size < 16 || size > 256)
            return false;
        images.push_back(encodePng(paintIcon(size)));
        if (images.back().empty())
            return false;
    }
    std::vector<unsigned char> file;
    putLittleEndian(file, 0, 2);
    putLittleEndian(file, 1, 2);
    putLittleEndian(file, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto side = static_cast<std::uint32_t>(sizes[i] % 256);
        putLittleEndian(file, side, 1);
        putLittleEndian(file, side, 1);
        putLittleEndian(file, 0, 1);
        putLittleEndian(file, 0, 1);
        putLittleEndian(file, 1, 2);
        putLittleEndian(file, 32, 2);
        putLittleEndian(file, static_cast<std::uint32_t>(images[i].size()), 4);
        putLittleEndian(file, offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    return writeFile(path, file);
}
