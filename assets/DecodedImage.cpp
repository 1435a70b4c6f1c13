#include "assets/DecodedImage.h"

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <memory>

namespace {

// Readers are picked by the file's extension, as DevIL picks its own.
bool hasJpegExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".jpg" || extension == ".jpeg" || extension == ".jpe";
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// libjpeg's default would end the process on a bad file.
[[noreturn]] void abandonJpeg(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void ignoreMessage(j_common_ptr)
{}

enum class JpegResult { Decoded, TooLarge, Failed };

// The rows of a JPEG as 8-bit RGB, top row first; its size comes from the header, before a
// pixel is decoded. CMYK keeps its first three channels, as DevIL hands them on. A file with
// damaged data (libjpeg warns) fails, as it does in DevIL. Nothing here may need a
// destructor: an error jumps straight back to the setjmp.
JpegResult readJpeg(std::FILE* file, int maxSide, std::vector<unsigned char>& rgb, std::vector<unsigned char>& row,
                    int& width, int& height)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = abandonJpeg;
    error.manager.output_message = ignoreMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegResult::Failed;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (info.image_width > static_cast<JDIMENSION>(maxSide) || info.image_height > static_cast<JDIMENSION>(maxSide)) {
        jpeg_destroy_decompress(&info);
        return JpegResult::TooLarge;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    rgb.resize(rowBytes * static_cast<std::size_t>(height));
    row.resize(static_cast<std::size_t>(info.output_components) * static_cast<std::size_t>(width));
    while (info.output_scanline < info.output_height) {
        JSAMPROW samples = row.data();
        const std::size_t y = info.output_scanline;
        jpeg_read_scanlines(&info, &samples, 1);
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x)
            std::copy_n(&row[x * static_cast<std::size_t>(info.output_components)], 3, &rgb[y * rowBytes + 3 * x]);
    }
    jpeg_finish_decompress(&info);
    const bool damaged = error.manager.num_warnings != 0;
    jpeg_destroy_decompress(&info);
    return damaged ? JpegResult::Failed : JpegResult::Decoded;
}

} // namespace

// JPEGs, the game's own textures among them, are read by libjpeg directly: DevIL's reader
// loops forever on a marker that runs past the end of the file.
DecodedImage::DecodedImage(const std::string& path, int maxSide)
{
    // Either reader would open a FIFO and wait for a writer forever; a folder is no image
    // either. Both are reported as a missing image is: the file could not be opened.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        loadError = image_error::couldNotOpenFile;
    else if (hasJpegExtension(path))
        decodeJpeg(path, maxSide);
    else
        decodeOtherFormat(path, maxSide);
}

void DecodedImage::decodeJpeg(const std::string& path, int maxSide)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        loadError = image_error::couldNotOpenFile;
        return;
    }
    std::vector<unsigned char> row;
    switch (readJpeg(file.get(), maxSide, image_.rows, row, width, height)) {
    case JpegResult::Decoded: converted = true; return;
    case JpegResult::TooLarge: loadError = image_error::badDimensions; break;
    case JpegResult::Failed: loadError = image_error::libJpegError; break;
    }
    dropPixels();
}

void DecodedImage::decodeOtherFormat(const std::string& path, int maxSide)
{
    const OtherFormatResult result = decodeOtherImageFormat(path, maxSide, image_);
    loadError = result.loadError;
    converted = result.converted && loadError == image_error::none;
    if (!converted) {
        dropPixels();
        return;
    }
    width = image_.width;
    height = image_.height;
}

void DecodedImage::dropPixels()
{
    std::vector<unsigned char>().swap(image_.rows);
    width = 0;
    height = 0;
}

void DecodedImage::refuseIfLargerThan(int maxSide)
{
    if (!converted || (width <= maxSide && height <= maxSide))
        return;
    converted = false;
    loadError = image_error::badDimensions;
    std::vector<unsigned char>().swap(image_.rows);
}

const unsigned char* DecodedImage::pixels() const
{
    return converted ? image_.rows.data() : nullptr;
}
