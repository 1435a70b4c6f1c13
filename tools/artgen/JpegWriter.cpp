#include "JpegWriter.h"

#include <cstdio>
#include <glm/common.hpp>
#include <jpeglib.h>

namespace {

std::vector<unsigned char> toBytes(const Image& image)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(image.pixels.size() * 3);
    for (const glm::vec3& p : image.pixels)
        for (const float c : {p.x, p.y, p.z})
            bytes.push_back(static_cast<unsigned char>(glm::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f));
    return bytes;
}

void compress(std::FILE* file, const std::vector<unsigned char>& bytes, int size, int quality, Chroma chroma)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(size);
    info.image_height = static_cast<JDIMENSION>(size);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (chroma == Chroma::Full)
        for (int c = 0; c < 3; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(&bytes[static_cast<std::size_t>(info.next_scanline) * size * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
}

} // namespace

bool writeJpeg(const std::string& path, const Image& image, int quality, Chroma chroma)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    compress(file, toBytes(image), image.size, quality, chroma);
    const bool written = std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}
