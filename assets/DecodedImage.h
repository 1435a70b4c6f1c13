#pragma once
#include <string>
#include <vector>

// One image file decoded into tightly packed 8-bit RGB rows, top row first. Needs no GL: the
// texture upload takes it from here.
class DecodedImage {
public:
    // Decodes the file unless it is wider or taller than maxSide; a JPEG's header tells that
    // before a pixel is decoded (a 16000 x 16000 photo would take gigabytes).
    DecodedImage(const std::string& path, int maxSide);
    ~DecodedImage();
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    // DevIL's error code of the load, 0 when it loaded; IL_BAD_DIMENSIONS for a size over
    // maxSide.
    unsigned int loadError = 0;
    bool converted = false; // to 8-bit RGB; false leaves no pixels
    int width = 0;
    int height = 0;
    const unsigned char* pixels() const;
    // Refuses a decoded image after all, as if it had been over maxSide from the start: for
    // images decoded before the driver could say how large a texture it takes.
    void refuseIfLargerThan(int maxSide);

private:
    void decodeJpeg(const std::string& path, int maxSide);
    void decodeWithDevil(const std::string& path, int maxSide);

    std::vector<unsigned char> jpegPixels_;
    unsigned int devilImage_ = 0;
};
