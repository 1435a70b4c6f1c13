#include "gl/Texture.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <algorithm>
#include <vector>

namespace {

// Tightly packed 8-bit RGB rows.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

glm::uvec3 texelAt(const unsigned char* rgb, int width, int x, int y)
{
    const unsigned char* texel = rgb + 3 * (static_cast<std::size_t>(y) * width + x);
    return glm::uvec3(texel[0], texel[1], texel[2]);
}

// The next smaller mipmap level: each texel the rounded mean of the 2 x 2 texels it covers (an
// odd side's last row or column is left out, as the level's size rounds down).
RgbImage halved(const unsigned char* rgb, int width, int height)
{
    RgbImage half{std::max(1, width / 2), std::max(1, height / 2), {}};
    half.rgb.reserve(3 * static_cast<std::size_t>(half.width) * half.height);
    for (int y = 0; y < half.height; ++y) {
        const int y0 = std::min(2 * y, height - 1), y1 = std::min(2 * y + 1, height - 1);
        for (int x = 0; x < half.width; ++x) {
            const int x0 = std::min(2 * x, width - 1), x1 = std::min(2 * x + 1, width - 1);
            const glm::uvec3 sum = texelAt(rgb, width, x0, y0) + texelAt(rgb, width, x1, y0) +
                                   texelAt(rgb, width, x0, y1) + texelAt(rgb, width, x1, y1);
            const glm::uvec3 mean = (sum + 2u) / 4u;
            half.rgb.insert(half.rgb.end(), {static_cast<unsigned char>(mean.r), static_cast<unsigned char>(mean.g),
                                             static_cast<unsigned char>(mean.b)});
        }
    }
    return half;
}

// Levels 1 up to the 1 x 1 level, made here rather than by glGenerateMipmap: a software driver
// builds and compiles a drawing program to make them, which took longer at start-up than
// decoding every image of the game.
void uploadSmallerLevels(const unsigned char* rgb, int width, int height)
{
    RgbImage image;
    for (int level = 1; width > 1 || height > 1; ++level) {
        image = halved(rgb, width, height);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGB, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     image.rgb.data());
        rgb = image.rgb.data();
        width = image.width;
        height = image.height;
    }
}

} // namespace

Texture::Texture(int width, int height, const unsigned char* rgb) : width(width), height(height)
{
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);

    // Decoded rows are tightly packed; with GL's default alignment of 4 an RGB row whose length
    // is not a multiple of 4 would be read skewed and past the end of the pixel data.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    uploadSmallerLevels(rgb, width, height);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture::~Texture()
{
    if (name)
        glDeleteTextures(1, &name);
}

void applyTextureFilter(int sampling, int mipmap)
{
    GLint minFilter;
    GLint magFilter;
    if (sampling == 0) {
        magFilter = GL_NEAREST;
        minFilter = mipmap == 0 ? GL_NEAREST : mipmap == 1 ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_LINEAR;
    } else {
        magFilter = GL_LINEAR;
        minFilter = mipmap == 0 ? GL_LINEAR : mipmap == 1 ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

int largestTextureSide()
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return largest;
}
