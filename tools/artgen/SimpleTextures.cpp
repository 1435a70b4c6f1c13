// The small textures: the flame's glow colours and the plain surfaces of the HUD bar and the
// screen quad.
#include "Lerp.h"
#include "Noise.h"
#include "Textures.h"

namespace {

Image flatNormalMap(int size)
{
    return solidImage(size, {0.5f, 0.5f, 1.0f});
}

} // namespace

MaterialTextures flameTextures()
{
    // v runs from the tip (0) to the base (1): red tips, orange body, a white-yellow heart
    // at the base, with tongues of heat licking upward.
    constexpr int size = 256;
    const std::vector<ColourStop> heat{{0.0f, {0.55f, 0.06f, 0.02f}}, {0.25f, {0.92f, 0.22f, 0.03f}},
                                       {0.5f, {1.0f, 0.5f, 0.06f}},   {0.72f, {1.0f, 0.82f, 0.3f}},
                                       {0.9f, {1.0f, 0.96f, 0.78f}},  {1.0f, {1.0f, 0.98f, 0.9f}}};
    Image colour(size);
    HeightField height(size);
    forEachPixel(size, [&](int x, int y, float u, float v) {
        const float tongues = fbmAniso(u, v, 6, 2, 4, 61) - 0.5f;
        const float flicker = fbm(u, v, 16, 3, 62) - 0.5f;
        colour.at(x, y) = ramp(heat, v + 0.35f * tongues * (1 - v) + 0.05f * flicker);
        height.at(x, y) = 0.2f * tongues;
    });
    return {colour, normalMapFromHeight(height, 0.1f)}; // barely any relief: a flame has no surface
}

MaterialTextures barTextures()
{
    constexpr int size = 256;
    Image colour(size);
    forEachPixel(size, [&](int x, int y, float, float v) {
        const float grey = lerp(0.88f, 0.68f, v); // lit from above
        colour.at(x, y) = {grey, grey, grey};
    });
    return {colour, flatNormalMap(size)};
}

MaterialTextures planeTextures()
{
    constexpr int size = 256;
    return {solidImage(size, {0.5f, 0.5f, 0.5f}), flatNormalMap(size)};
}
