#include "assets/OtherImageFormats.h"

// The Windows build has no image library beside its JPEG reader, and the game's own images
// are all JPEGs.
OtherFormatResult decodeOtherImageFormat(const std::string&, int, RgbImage&)
{
    OtherFormatResult result;
    result.loadError = image_error::formatNotSupported;
    return result;
}
