#pragma once
#include <glm/glm.hpp>
#include <optional>
#include <vector>

// A rectangle of an image's pixels: its lower left corner and its size.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The pixels of a width x height image that a mesh (its positions, three floats a vertex)
// drawn with clipFromModel can cover, or nothing when the mesh reaches behind the eye and
// no bound can be given.
std::optional<PixelRect> projectedArea(const std::vector<float>& positions, const glm::mat4& clipFromModel, int width,
                                       int height);

// The rectangle widened by `margin` pixels on every side, then cut to the image.
PixelRect widened(PixelRect area, int margin, int width, int height);
// The same area in an image `factor` times as large in each direction, cut to that image.
PixelRect scaledUp(PixelRect area, int factor, int width, int height);
