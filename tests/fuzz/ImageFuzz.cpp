// Texture files of any kind through the game's decode: read safely, and an image that is
// handed on is as large as it says and no larger than allowed.
#include "FuzzSupport.h"
#include "assets/DecodedImage.h"

namespace {
constexpr int largestSide = 4096;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const DecodedImage image(inputFile(data, size, ".jpg"), largestSide);
    if (!image.converted)
        return 0;
    require(image.loadError == 0);
    require(image.width >= 1 && image.width <= largestSide && image.height >= 1 && image.height <= largestSide);
    const unsigned char* pixels = image.pixels();
    require(pixels != nullptr);
    // Every byte the upload would read.
    const std::size_t bytes = 3 * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    volatile unsigned int sum = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        sum = sum + pixels[i];
    return 0;
}
