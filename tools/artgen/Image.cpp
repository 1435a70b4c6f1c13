#include "Image.h"

#include <glm/geometric.hpp>

Image normalMapFromHeight(const HeightField& field, float strength)
{
    Image map(field.size);
    forEachPixel(field.size, [&](int x, int y, float, float) {
        // Sobel slopes: a little smoothing across keeps sharp steps from ringing once the
        // map is JPEG-compressed. Neighbours wrap around so the map tiles like the texture.
        const auto h = [&](int dx, int dy) { return field.wrapped(x + dx, y + dy); };
        const float dx = (h(1, -1) + 2 * h(1, 0) + h(1, 1) - h(-1, -1) - 2 * h(-1, 0) - h(-1, 1)) / (8 * strength);
        const float dy = (h(-1, 1) + 2 * h(0, 1) + h(1, 1) - h(-1, -1) - 2 * h(0, -1) - h(1, -1)) / (8 * strength);
        const glm::vec3 n = glm::normalize(glm::vec3{-dx, -dy, 1});
        map.at(x, y) = n * 0.5f + glm::vec3{0.5f, 0.5f, 0.5f};
    });
    return map;
}

Image solidImage(int size, glm::vec3 colour)
{
    Image image(size);
    for (glm::vec3& p : image.pixels)
        p = colour;
    return image;
}
