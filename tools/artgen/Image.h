#pragma once
#include <glm/vec3.hpp>

#include <vector>

// A square RGB image with channels in [0, 1] (values outside are clamped when written).
struct Image {
    explicit Image(int size) : size(size), pixels(static_cast<std::size_t>(size) * size, glm::vec3(0.0f)) {}
    glm::vec3& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * size + x]; }
    const glm::vec3& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * size + x]; }

    int size;
    std::vector<glm::vec3> pixels;
};

// A square image with straight (not premultiplied) alpha in [0, 1], for the desktop icon.
struct RgbaImage {
    explicit RgbaImage(int size) : colour(size), alpha(static_cast<std::size_t>(size) * size, 0.0f) {}

    Image colour;
    std::vector<float> alpha;
};

// A square field of heights; the relief a normal map is derived from.
struct HeightField {
    explicit HeightField(int size) : size(size), heights(static_cast<std::size_t>(size) * size, 0.0f) {}
    float& at(int x, int y) { return heights[static_cast<std::size_t>(y) * size + x]; }
    // Out-of-range coordinates wrap around, since the textures repeat.
    float wrapped(int x, int y) const
    {
        x = ((x % size) + size) % size;
        y = ((y % size) + size) % size;
        return heights[static_cast<std::size_t>(y) * size + x];
    }

    int size;
    std::vector<float> heights;
};

// Calls fn(x, y, u, v) for every pixel, with u, v the pixel centre in [0, 1).
template <typename Fn>
void forEachPixel(int size, Fn fn)
{
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            fn(x, y, (static_cast<float>(x) + 0.5f) / static_cast<float>(size),
               (static_cast<float>(y) + 0.5f) / static_cast<float>(size));
}

// Tangent-space normal map of the height field, RGB = normal * 0.5 + 0.5, flat = (0.5, 0.5, 1).
// x follows +u (image right) and y follows +v (image down), the directions in which the game
// derives its tangent and bitangent from the imported texture coordinates. `strength` is the
// height change, in the field's units, that tilts the normal by 45 degrees over one pixel.
Image normalMapFromHeight(const HeightField& field, float strength);

// Uniform image, for flat normal maps and plain surfaces.
Image solidImage(int size, glm::vec3 colour);
