#include "PngWriter.h"

#include <csetjmp>
#include <cstdio>
#include <glm/common.hpp>
#include <png.h>

namespace {

std::vector<unsigned char> toBytes(const RgbaImage& image)
{
    const auto byte = [](float c) { return static_cast<unsigned char>(glm::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f); };
    std::vector<unsigned char> bytes;
    bytes.reserve(image.alpha.size() * 4);
    for (std::size_t i = 0; i < image.alpha.size(); ++i) {
        const glm::vec3& c = image.colour.pixels[i];
        for (const float channel : {c.x, c.y, c.z, image.alpha[i]})
            bytes.push_back(byte(channel));
    }
    return bytes;
}

void appendToBuffer(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp)
{}

// libpng reports errors by longjmp, so this frame holds nothing that needs destroying.
bool compress(std::vector<unsigned char>& out, const std::vector<unsigned char>& bytes, int size)
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
    png_set_write_fn(png, &out, appendToBuffer, noFlush);
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

std::vector<unsigned char> encodePng(const RgbaImage& image)
{
    std::vector<unsigned char> png;
    if (!compress(png, toBytes(image), image.colour.size))
        png.clear();
    return png;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    if (bytes.empty())
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool writePng(const std::string& path, const RgbaImage& image)
{
    return writeFile(path, encodePng(image));
}
