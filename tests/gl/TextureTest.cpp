#include "GlSupport.h"

#include "gl/Texture.h"
#include "render/ModelLibrary.h"

#include "assets/OtherImageFormats.h"

#include "TestPlatform.h"

#include <sstream>

namespace {

// Uncompressed 24- or 32-bit TGA, rows bottom to top, pixels given as RGB(A) in that row order.
void writeTga(const std::filesystem::path& file, int width, int height, int channels,
              const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int value : {width, 0, height, 0, 8 * channels, channels == 4 ? 8 : 0})
        bytes.push_back(static_cast<unsigned char>(value));
    for (size_t i = 0; i + channels <= rgba.size(); i += channels) {
        bytes.insert(bytes.end(), {rgba[i + 2], rgba[i + 1], rgba[i]});
        bytes.insert(bytes.end(), rgba.begin() + i + 3, rgba.begin() + i + channels);
    }
    writeText(file, std::string(bytes.begin(), bytes.end()));
}

// A copy of a JPEG whose frame header claims another size; the scan data stays as it was.
void writeJpegClaimingSize(const std::string& source, const std::filesystem::path& copy, int width, int height)
{
    std::string bytes = readText(source);
    const std::size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos) << "no baseline frame header in " << source;
    bytes[frame + 5] = static_cast<char>(height >> 8);
    bytes[frame + 6] = static_cast<char>(height & 0xFF);
    bytes[frame + 7] = static_cast<char>(width >> 8);
    bytes[frame + 8] = static_cast<char>(width & 0xFF);
    writeText(copy, bytes);
}

// The pixels of one of the texture's levels as RGB, rows as uploaded.
std::vector<unsigned char> textureRgb(const Texture& texture, int level = 0)
{
    glBindTexture(GL_TEXTURE_2D, texture.name);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> pixels(static_cast<size_t>(3 * width * height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

// Loads an image that must fail: it prints the console's line with DevIL's code and gives a
// texture without an image.
void expectRefused(const std::string& path, unsigned int code)
{
    std::ostringstream console;
    const std::unique_ptr<Texture> texture = loadTexture(path, console);
    EXPECT_EQ(console.str(), "couldnt load texture: " + path + "\n" + std::to_string(code) + "\n");
    EXPECT_EQ(texture->name, 0u);
}

} // namespace

using TextureTest = GlTest;

// Either image reader (libjpeg for JPEGs, DevIL for the rest) would open a FIFO and wait for a
// writer forever: a FIFO, or a folder, is reported as a missing file is, and never opened. A
// failure must not linger in the image library and spoil the next, good image.
TEST_F(TextureTest, FailuresAndImagesTooLargeAreReportedAndAGoodImageAfterThemLoads)
{
    TempFolder folder;
    writeText(folder.path() / "garbage_norm.jpg", "this is not a picture");
    // Found by fuzzing: a marker that runs past the end of the file, which DevIL's reader
    // skips forever.
    writeText(folder.path() / "endless_diff.jpg",
              std::string("\xff\xd8\xff\xe0\x00\x2d\x10\x4a\x46\x6a\x73\x74\x75\x76\x77\x78\x79\x7a\x14"
                          "\x7b\x83\x7f\xff\x88\x89\x8a\x00\xff\xe0\x00\x2d\x10\x4a\x46\x6a\x73\x74\x75"
                          "\x76\x77\x78\x79\x00\x28\xa2",
                          45));
    for (const char* name : {"garbage_norm.jpg", "endless_diff.jpg"})
        expectRefused((folder.path() / name).string(), image_error::libJpegError);
    for (const std::string name : {"odd_diff.jpg", "odd.tga"}) {
        const std::string path = (folder.path() / name).string();
        expectRefused(path, image_error::couldNotOpenFile);
        {
            WatchedFifo fifo(path);
            expectRefused(path, image_error::couldNotOpenFile);
            EXPECT_FALSE(fifo.opened()) << name;
        }
        std::filesystem::create_directory(path);
        expectRefused(path, image_error::couldNotOpenFile);
    }

    // Decoding 30000 x 30000 alone would take 2.7 GB: a JPEG's header tells its size first.
    const int largest = glInteger(GL_MAX_TEXTURE_SIZE);
    const long peakBefore = test_platform::peakResidentKilobytes();
    for (const auto& [width, height] : {std::pair{largest + 1, 4}, {4, largest + 1}, {30000, 30000}}) {
        const std::string path =
            (folder.path() / (std::to_string(width) + "x" + std::to_string(height) + ".jpg")).string();
        writeJpegClaimingSize("Tindral/3DModels/cube/cube_diff.jpg", path, width, height);
        expectRefused(path, image_error::badDimensions);
    }
    EXPECT_LT(test_platform::peakResidentKilobytes() - peakBefore, 64 * 1024) << "an image was decoded";

    std::unique_ptr<Texture> texture;
    EXPECT_EQ(printedBy([&] { texture = loadTexture("Tindral/3DModels/cube/cube_diff.jpg"); }), "");
    EXPECT_NE(texture->name, 0u);
}

TEST_F(TextureTest, OddRowLengthsUploadExactlyAndAlphaIsDroppedOrRefused)
{
    // 3 x 2 RGB: rows of 9 bytes, which GL's default row alignment of 4 would misread.
    const std::vector<unsigned char> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    EXPECT_EQ(textureRgb(Texture(3, 2, rgb.data())), rgb);

    TempFolder folder;
    const std::string path = (folder.path() / "alpha.tga").string();
    const std::vector<unsigned char> rgba = {255, 128, 0, 0, 1, 2, 3, 255, 9, 8, 7, 128, 200, 100, 50, 10};
    writeTga(path, 2, 2, 4, rgba);
    if (!test_platform::hasImageLibrary()) {
        expectRefused(path, image_error::formatNotSupported);
        return;
    }
    const std::unique_ptr<Texture> alpha = loadTexture(path);
    ASSERT_NE(alpha->name, 0u);
    EXPECT_EQ(textureRgb(*alpha), (std::vector<unsigned char>{255, 128, 0, 1, 2, 3, 9, 8, 7, 200, 100, 50}));
}

TEST_F(TextureTest, EveryMipmapLevelDownToOneTexelAveragesTheOneAbove)
{
    // 5 x 2: level 1 is 2 x 1 (the odd fifth column is left out), level 2 is 1 x 1.
    const std::vector<unsigned char> rgb = {0,   0, 0, 4, 0, 0, 10, 20, 30, 30, 40, 50, 99, 99, 99,
                                            100, 8, 0, 0, 8, 1, 20, 30, 40, 40, 50, 61, 99, 99, 99};
    const Texture texture(5, 2, rgb.data());
    EXPECT_EQ(textureRgb(texture, 1), (std::vector<unsigned char>{26, 4, 0, 25, 35, 45}));
    EXPECT_EQ(textureRgb(texture, 2), (std::vector<unsigned char>{26, 20, 23}));
}
