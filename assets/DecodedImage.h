#pragma once
#include "assets/OtherImageFormats.h"

#include <string>

// One image file decoded into tightly packed 8-bit RGB rows, top row first. Needs no GL: the
// texture upload takes it from here.
class DecodedImage {
public:
    // Decodes the file unless it is wider or taller than maxSide; a JPEG's header tells that
    // before a pixel is decoded (a 16000 x 16000 photo would take gigabytes).
    DecodedImage(const std::string& path, int maxSide);
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    // The load's code of image_error, none when it loaded; badDimensions for a size over
    // maxSide.
    unsigned int loadError = image_error::none;
    bool converted = false; // to 8-bit RGB; false leaves no pixels
    int width = 0;
    int height = 0;
    const unsigned char* pixels() const;
    // Refuses a decoded image after all, as if it had been over maxSide from the start: for
    // images decoded before the driver could say how large a texture it takes.
    void refuseIfLargerThan(int maxSide);

private:
    void decodeJpeg(const std::string& path, int maxSide);
    void decodeOtherFormat(const std::string& path, int maxSide);
    void dropPixels();

    RgbImage image_;
};
