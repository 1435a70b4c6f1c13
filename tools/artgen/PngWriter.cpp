#include "PngWriter.h"

#include <csetjmp>
#include <cstdio>
#include <png.h>

namespace {

std::vector<unsigned char> toBytes(const RgbaImage& image)
{
    const auto byte = [](float c) { return static_cast<unsigned char>(clamp01(c) * 255.0f + 0.5f); };
    std::vector<unsigned char> bytes;
    bytes.reserve(image.alpha.size() * 4);
    for (std::size_t i = 0; i < image.alpha.size(); ++i) {
        const Vec3& c = image.colour.pixels[i];
        for (const float channel : {c.x, c.y, c.z, image.alpha[i]})
            bytes.push_back(byte(channel));
    }
    return bytes;
}

// libpng reports errors by longjmp, so this frame holds nothing that needs destroying.
bool compress(std::FILE* file, const std::vector<unsigned char>& bytes, int size)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y)
        png_write_row(png, &bytes[static_cast<std::size_t>(y) * size * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool writePng(const std::string& path, const RgbaImage& image)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool compressed = compress(file, toBytes(image), image.colour.size);
    const bool written = compressed && std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}
