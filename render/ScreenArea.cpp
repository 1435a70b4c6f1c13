#include "render/ScreenArea.h"

#include <algorithm>
#include <cmath>

namespace {

PixelRect clipped(int left, int bottom, int right, int top, int width, int height)
{
    left = std::clamp(left, 0, width);
    right = std::clamp(right, left, width);
    bottom = std::clamp(bottom, 0, height);
    top = std::clamp(top, bottom, height);
    return PixelRect{left, bottom, right - left, top - bottom};
}

} // namespace

// The corners of the box bound its picture as long as all of them lie in front of the eye.
std::optional<PixelRect> projectedArea(glm::vec3 low, glm::vec3 high, const glm::mat4& clipFromModel, int width,
                                       int height)
{
    glm::vec2 lowest(1e30f), highest(-1e30f);
    for (int corner = 0; corner < 8; ++corner) {
        const glm::vec3 p((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y, (corner & 4) ? high.z : low.z);
        const glm::vec4 clip = clipFromModel * glm::vec4(p, 1.0f);
        if (!(clip.w > 1e-4f))
            return std::nullopt;
        const glm::vec2 pixel = (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * glm::vec2(width, height);
        lowest = glm::min(lowest, pixel);
        highest = glm::max(highest, pixel);
    }
    // Not a pixel whose centre the mesh could touch is left out. Far beyond the image is as
    // good as its edge, and keeps the numbers in an int's range.
    const glm::vec2 size(width, height);
    lowest = glm::clamp(lowest, glm::vec2(-2.0f), size + 2.0f);
    highest = glm::clamp(highest, glm::vec2(-2.0f), size + 2.0f);
    return clipped(static_cast<int>(std::floor(lowest.x)) - 1, static_cast<int>(std::floor(lowest.y)) - 1,
                   static_cast<int>(std::ceil(highest.x)) + 1, static_cast<int>(std::ceil(highest.y)) + 1, width,
                   height);
}

PixelRect widened(PixelRect area, int margin, int width, int height)
{
    return clipped(area.x - margin, area.y - margin, area.x + area.width + margin, area.y + area.height + margin, width,
                   height);
}

PixelRect scaledUp(PixelRect area, int factor, int width, int height)
{
    return clipped(area.x * factor, area.y * factor, (area.x + area.width) * factor, (area.y + area.height) * factor,
                   width, height);
}
