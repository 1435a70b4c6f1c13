#pragma once
#include <glm/glm.hpp>
#include <optional>

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

// The pixels of a width x height image that a mesh inside the box from `low` to `high`, drawn
// with clipFromModel, can cover, or nothing when the box reaches behind the eye and no bound
// can be given.
std::optional<PixelRect> projectedArea(glm::vec3 low, glm::vec3 high, const glm::mat4& clipFromModel, int width,
                                       int height);

// The rectangle widened by `margin` pixels on every side, then cut to the image.
PixelRect widened(PixelRect area, int margin, int width, int height);
// The same area in an image `factor` times as large in each direction, cut to that image.
PixelRect scaledUp(PixelRect area, int factor, int width, int height);
