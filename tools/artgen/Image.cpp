#include "Image.h"

Image normalMapFromHeight(const HeightField& field, float strength)
{
    Image map(field.size);
    forEachPixel(field.size, [&](int x, int y, float, float) {
        // Sobel slopes: a little smoothing across keeps sharp steps from ringing once the
        // map is JPEG-compressed. Neighbours wrap around so the map tiles like the texture.
        const auto h = [&](int dx, int dy) { return field.wrapped(x + dx, y + dy); };
        const float dx = (h(1, -1) + 2 * h(1, 0) + h(1, 1) - h(-1, -1) - 2 * h(-1, 0) - h(-1, 1)) / (8 * strength);
        const float dy = (h(-1, 1) + 2 * h(0, 1) + h(1, 1) - h(-1, -1) - 2 * h(0, -1) - h(1, -1)) / (8 * strength);
        const Vec3 n = normalize({-dx, -dy, 1});
        map.at(x, y) = n * 0.5f + Vec3{0.5f, 0.5f, 0.5f};
    });
    return map;
}

Image solidImage(int size, Vec3 colour)
{
    Image image(size);
    for (Vec3& p : image.pixels)
        p = colour;
    return image;
}
