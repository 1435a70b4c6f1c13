#include "assets/OtherImageFormats.h"

#include <IL/il.h>
#include <algorithm>

static_assert(image_error::formatNotSupported == IL_FORMAT_NOT_SUPPORTED &&
                  image_error::couldNotOpenFile == IL_COULD_NOT_OPEN_FILE &&
                  image_error::badDimensions == IL_BAD_DIMENSIONS && image_error::libJpegError == IL_LIB_JPEG_ERROR,
              "the console's image codes are DevIL's");

namespace {

// DevIL keeps a stack of error codes; one left over from an earlier image would make a good
// image look failed, so the stack is emptied around every load.
void clearImageErrors()
{
    while (ilGetError() != IL_NO_ERROR) {
    }
}

OtherFormatResult decodeBound(const std::string& path, int maxSide, RgbImage& image)
{
    OtherFormatResult result;
    ilLoadImage(path.c_str());
    result.loadError = ilGetError();
    clearImageErrors();
    if (result.loadError != IL_NO_ERROR)
        return result;
    // Other formats tell their size only once decoded; still too large for a texture.
    if (ilGetInteger(IL_IMAGE_WIDTH) > maxSide || ilGetInteger(IL_IMAGE_HEIGHT) > maxSide) {
        result.loadError = IL_BAD_DIMENSIONS;
        return result;
    }
    result.converted = ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE) == IL_TRUE;
    clearImageErrors();
    if (!result.converted)
        return result;
    image.width = ilGetInteger(IL_IMAGE_WIDTH);
    image.height = ilGetInteger(IL_IMAGE_HEIGHT);
    const ILubyte* data = ilGetData();
    image.rows.assign(data, data + 3 * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    return result;
}

} // namespace

OtherFormatResult decodeOtherImageFormat(const std::string& path, int maxSide, RgbImage& image)
{
    ilInit();
    clearImageErrors();
    ILuint name = 0;
    ilGenImages(1, &name);
    ilBindImage(name);
    const OtherFormatResult result = decodeBound(path, maxSide, image);
    ilBindImage(0);
    ilDeleteImages(1, &name);
    return result;
}
