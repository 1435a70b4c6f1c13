#include "Textures.h"

#include "Lerp.h"

#include <algorithm>
#include <glm/common.hpp>

void paintGrid(int columns, int rows, const std::vector<Painter>& painters, Image& colour, HeightField& height)
{
    const int size = colour.size, cellWidth = size / columns, cellHeight = size / rows;
    forEachPixel(size, [&](int x, int y, float, float) {
        const int cx = x / cellWidth, cy = y / cellHeight;
        const float u = (static_cast<float>(x - cx * cellWidth) + 0.5f) / static_cast<float>(cellWidth);
        const float v = (static_cast<float>(y - cy * cellHeight) + 0.5f) / static_cast<float>(cellHeight);
        const Surface s = painters[static_cast<std::size_t>(cy * columns + cx)](u, v);
        colour.at(x, y) = s.colour;
        // The relief flattens out toward each cell's border, inside the unused margin, so the
        // normal map has no steps between materials to ring in the JPEG or bleed into mipmaps.
        const int border = std::min(
            {x - cx * cellWidth, (cx + 1) * cellWidth - 1 - x, y - cy * cellHeight, (cy + 1) * cellHeight - 1 - y});
        height.at(x, y) = s.height * glm::smoothstep(0.0f, 5.0f, static_cast<float>(border));
    });
}

glm::vec3 ramp(const std::vector<ColourStop>& stops, float t)
{
    if (t <= stops.front().at)
        return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].at)
            return lerp(stops[i - 1].colour, stops[i].colour, (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    return stops.back().colour;
}
