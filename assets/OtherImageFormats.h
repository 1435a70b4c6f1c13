#pragma once
#include <string>
#include <vector>

// The codes a failed image load reports on the console, after the path. They are DevIL's,
// so that the console reads the same whichever library read the file.
namespace image_error {
constexpr unsigned int none = 0x0000;
constexpr unsigned int formatNotSupported = 0x0503;
constexpr unsigned int couldNotOpenFile = 0x050A;
constexpr unsigned int badDimensions = 0x0511;
constexpr unsigned int libJpegError = 0x05E2;
} // namespace image_error

// An image as tightly packed 8-bit RGB rows.
struct RgbImage {
    std::vector<unsigned char> rows;
    int width = 0;
    int height = 0;
};

struct OtherFormatResult {
    unsigned int loadError = image_error::none;
    bool converted = false; // to 8-bit RGB; false leaves no pixels
};

// Reads an image in any format but JPEG, which the game reads itself. Where the system's build
// has an image library for them (DevIL on Linux) it decodes them; elsewhere every such file
// is refused as a format that is not supported. Each system has its own source file under
// assets/platform/<system>/.
OtherFormatResult decodeOtherImageFormat(const std::string& path, int maxSide, RgbImage& image);
