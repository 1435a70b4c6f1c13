#include "assets/DecodedImage.h"

#include <IL/il.h>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <memory>

namespace {

// DevIL keeps a stack of error codes; one left over from an earlier image would make a good
// image look failed, so the stack is emptied around every load.
void clearImageErrors()
{
    while (ilGetError() != IL_NO_ERROR) {
    }
}

struct HeaderError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// libjpeg's default would end the process on a bad file.
[[noreturn]] void abandonHeader(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<HeaderError*>(info->err)->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

// The size in a JPEG header, read without decoding a pixel. False for anything that is no
// readable JPEG: DevIL then decodes it and reports what is wrong.
bool readJpegSize(std::FILE* file, int& width, int& height)
{
    jpeg_decompress_struct info;
    HeaderError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = abandonHeader;
    error.manager.output_message = ignoreMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    width = static_cast<int>(info.image_width);
    height = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return true;
}

bool jpegLargerThan(const std::string& path, int maxSide)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    int width = 0;
    int height = 0;
    return file && readJpegSize(file.get(), width, height) && (width > maxSide || height > maxSide);
}

} // namespace

DecodedImage::DecodedImage(const std::string& path, int maxSide)
{
    if (jpegLargerThan(path, maxSide)) {
        loadError = IL_BAD_DIMENSIONS;
        return;
    }
    ilInit();
    clearImageErrors();
    ilGenImages(1, &image_);
    ilBindImage(image_);
    ilLoadImage(path.c_str());
    loadError = ilGetError();
    clearImageErrors();
    if (loadError != IL_NO_ERROR)
        return;
    // Other formats are only known once decoded; still too large for a texture.
    if (ilGetInteger(IL_IMAGE_WIDTH) > maxSide || ilGetInteger(IL_IMAGE_HEIGHT) > maxSide) {
        loadError = IL_BAD_DIMENSIONS;
        return;
    }
    converted = ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE) == IL_TRUE;
    clearImageErrors();
    if (!converted)
        return;
    width = ilGetInteger(IL_IMAGE_WIDTH);
    height = ilGetInteger(IL_IMAGE_HEIGHT);
}

DecodedImage::~DecodedImage()
{
    if (!image_)
        return;
    ilBindImage(0);
    ilDeleteImages(1, &image_);
}

const unsigned char* DecodedImage::pixels() const
{
    if (!converted)
        return nullptr;
    ilBindImage(image_);
    return ilGetData();
}
