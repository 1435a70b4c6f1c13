#include "GlSupport.h"

#include "gl/Texture.h"
#include "render/ModelLibrary.h"

#include <IL/il.h>

#include <cmath>
#include <regex>
#include <sys/resource.h>

namespace {

// Uncompressed 24- or 32-bit TGA, rows bottom to top, pixels given as RGB(A) in that row order.
void writeTga(const std::filesystem::path& file, int width, int height, int channels,
              const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> bytes(18, 0);
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<unsigned char>(width);
    bytes[14] = static_cast<unsigned char>(height);
    bytes[16] = static_cast<unsigned char>(8 * channels);
    bytes[17] = channels == 4 ? 8 : 0; // alpha bits; origin bottom left
    for (size_t i = 0; i + channels <= rgba.size(); i += channels) {
        bytes.insert(bytes.end(), {rgba[i + 2], rgba[i + 1], rgba[i]});
        if (channels == 4)
            bytes.push_back(rgba[i + 3]);
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<unsigned char> textureRgb(const Texture& texture)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(3 * texture.width * texture.height));
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

} // namespace

using TextureTest = GlTest;

TEST_F(TextureTest, FailuresAreReportedAndAGoodImageAfterThemIsMipmappedTrilinearAndRepeating)
{
    TempFolder folder;
    const std::string missing = (folder.path() / "nowhere_diff.jpg").string();
    const std::string garbage = (folder.path() / "garbage_norm.jpg").string();
    writeText(garbage, "this is not a picture");
    // Found by fuzzing: a marker that runs past the end of the file, which DevIL's reader
    // skips forever.
    const std::string endless = (folder.path() / "endless_diff.jpg").string();
    writeText(endless, std::string("\xff\xd8\xff\xe0\x00\x2d\x10\x4a\x46\x6a\x73\x74\x75\x76\x77\x78\x79\x7a\x14"
                                   "\x7b\x83\x7f\xff\x88\x89\x8a\x00\xff\xe0\x00\x2d\x10\x4a\x46\x6a\x73\x74\x75"
                                   "\x76\x77\x78\x79\x00\x28\xa2",
                                   45));
    for (const std::string& path : {missing, garbage, endless}) {
        std::unique_ptr<Texture> texture;
        const std::string printed = printedBy([&] { texture = loadTexture(path); });
        std::smatch match;
        ASSERT_TRUE(std::regex_match(printed, match, std::regex("couldnt load texture: (.*)\n([0-9]+)\n"))) << printed;
        EXPECT_EQ(match[1].str(), path);
        EXPECT_NE(std::stoul(match[2].str()), 0u);
        EXPECT_EQ(texture->name, 0u);
    }

    // A failure must not linger in the image library and spoil the next, good image.
    std::unique_ptr<Texture> texture;
    EXPECT_EQ(printedBy([&] { texture = loadTexture("Tindral/3DModels/cube/cube_diff.jpg"); }), "");
    ASSERT_NE(texture->name, 0u);
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_WRAP_S), GL_REPEAT) << "uvs scaled beyond 1 repeat";
    GLint smallestWidth = 0;
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, static_cast<int>(std::log2(texture->width)), GL_TEXTURE_WIDTH,
                             &smallestWidth);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(smallestWidth, 1) << "the mipmap chain reaches 1 x 1";
}

// Either image reader would open a FIFO and wait for a writer forever: a FIFO, or a folder,
// is reported with the line and the code a missing file gives, and never opened.
TEST_F(TextureTest, AnImageFileThatIsNoRegularFileIsReportedAsAMissingOne)
{
    TempFolder folder;
    for (const std::string name : {"odd_diff.jpg", "odd.tga"}) { // libjpeg's reader, DevIL's
        SCOPED_TRACE(name);
        const std::filesystem::path image = folder.path() / name;
        std::unique_ptr<Texture> texture;
        const auto load = [&] { texture = loadTexture(image.string()); };
        const std::string missing = printedBy(load);
        ASSERT_EQ(missing,
                  "couldnt load texture: " + image.string() + "\n" + std::to_string(IL_COULD_NOT_OPEN_FILE) + "\n");
        {
            WatchedFifo fifo(image);
            EXPECT_EQ(printedBy(load), missing) << "a FIFO as the image";
            EXPECT_EQ(texture->name, 0u);
            EXPECT_FALSE(fifo.opened());
        }
        std::filesystem::create_directory(image);
        EXPECT_EQ(printedBy(load), missing) << "a folder as the image";
        EXPECT_EQ(texture->name, 0u);
    }
}

TEST_F(TextureTest, OddRowLengthsLoadExactlyAndAlphaIsDropped)
{
    TempFolder folder;
    // 3 x 2 RGB: rows of 9 bytes, which GL's default row alignment of 4 would misread.
    const std::vector<unsigned char> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    writeTga(folder.path() / "odd.tga", 3, 2, 3, rgb);
    const std::unique_ptr<Texture> loadedOdd = loadTexture((folder.path() / "odd.tga").string());
    const Texture& odd = *loadedOdd;
    ASSERT_NE(odd.name, 0u);
    EXPECT_EQ(odd.width, 3);
    EXPECT_EQ(odd.height, 2);
    EXPECT_EQ(textureRgb(odd), rgb);
    EXPECT_EQ(glInteger(GL_UNPACK_ALIGNMENT), 4) << "the upload restores GL's unpack alignment";

    const std::vector<unsigned char> rgba = {255, 128, 0, 0, 1, 2, 3, 255, 9, 8, 7, 128, 200, 100, 50, 10};
    writeTga(folder.path() / "alpha.tga", 2, 2, 4, rgba);
    const std::unique_ptr<Texture> loadedAlpha = loadTexture((folder.path() / "alpha.tga").string());
    const Texture& alpha = *loadedAlpha;
    ASSERT_NE(alpha.name, 0u);
    EXPECT_EQ(textureRgb(alpha), (std::vector<unsigned char>{255, 128, 0, 1, 2, 3, 9, 8, 7, 200, 100, 50}));
    EXPECT_EQ(textureParameter(alpha.name, GL_TEXTURE_ALPHA_SIZE, true), 0);
}

TEST_F(TextureTest, ImagesLargerThanTheDriverTakesAreRefusedBeforeTheyAreDecoded)
{
    TempFolder folder;
    const int largest = glInteger(GL_MAX_TEXTURE_SIZE);
    const long peakBefore = peakResidentKb();
    for (const auto& [width, height] :
         {std::pair{largest + 1, 4}, std::pair{4, largest + 1}, std::pair{30000, 30000}}) {
        const std::string path =
            (folder.path() / (std::to_string(width) + "x" + std::to_string(height) + ".jpg")).string();
        writeJpegClaimingSize("Tindral/3DModels/cube/cube_diff.jpg", path, width, height);
        std::unique_ptr<Texture> texture;
        const std::string printed = printedBy([&] { texture = loadTexture(path); });
        EXPECT_EQ(printed, "couldnt load texture: " + path + "\n" + std::to_string(IL_BAD_DIMENSIONS) + "\n");
        EXPECT_EQ(texture->name, 0u);
    }
    // Decoding 30000 x 30000 alone would take 2.7 GB.
    EXPECT_LT(peakResidentKb() - peakBefore, 64 * 1024) << "an image was decoded";

    EXPECT_NE(loadTexture("Tindral/3DModels/cube/cube_diff.jpg")->name, 0u)
        << "the refusals leave nothing behind that spoils the next image";
}
