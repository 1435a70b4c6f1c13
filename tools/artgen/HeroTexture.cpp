// The hero's clothes and skin, one material per quarter of the image (see Atlas.h): a red
// woollen tunic with an embroidered hem, skin, blue twill trousers and brown leather.
#include "Lerp.h"
#include "Noise.h"
#include "Textures.h"

#include <cmath>
#include <glm/common.hpp>
#include <glm/gtc/constants.hpp>

namespace {

constexpr int kSize = 512;
constexpr float kCellPixels = kSize / 2.0f;
// The mapped part of a quarter is 240 pixels wide; patterns whose period divides that meet
// themselves where a lathe's seam closes.
constexpr float kWeavePeriod = 5.0f;

struct Weave {
    float height;   // 0 at the gaps between threads, 1 on top of a crossing thread
    bool warpOnTop; // the vertical thread lies over the horizontal one here
};

// Plain weave: every crossing alternates which thread lies on top.
Weave plainWeave(float x, float y, float period)
{
    const float cx = x / period, cy = y / period;
    const float fx = cx - std::floor(cx), fy = cy - std::floor(cy);
    const bool warpOnTop = ((static_cast<int>(std::floor(cx)) + static_cast<int>(std::floor(cy))) & 1) == 0;
    const float across = warpOnTop ? fx : fy, along = warpOnTop ? fy : fx;
    // Rounded thread, dipping a little where it is about to pass under its neighbour.
    return {std::sin(glm::pi<float>() * across) * (0.75f + 0.25f * std::sin(glm::pi<float>() * along)), warpOnTop};
}

// The hem band sits where the tunic's hem and the sleeves' cuffs fall in their uv range.
constexpr float kBandTop = 0.72f, kBandBottom = 0.79f;

Surface embroidery(float x, float v)
{
    const float across = (v - kBandTop) / (kBandBottom - kBandTop);         // 0..1 inside the band
    const float chevron = std::abs(std::fmod(x, 16.0f) / 16.0f - 0.5f) * 2; // 0..1 zig-zag
    // Soft edges keep the stitched diamonds from stair-stepping.
    const float diamond = glm::smoothstep(-0.06f, 0.06f, chevron - std::abs(across - 0.5f) * 2);
    const float rim = 1 - glm::smoothstep(0.1f, 0.16f, 0.5f - std::abs(across - 0.5f));
    const glm::vec3 gold{0.86f, 0.64f, 0.22f}, darkRed{0.32f, 0.05f, 0.04f};
    return {lerp(gold, darkRed, diamond * (1 - rim)), 0.25f + 0.1f * rim};
}

Surface tunic(float u, float v)
{
    const float x = u * kCellPixels, y = v * kCellPixels;
    const Weave w = plainWeave(x, y, kWeavePeriod);
    if (v > kBandTop && v < kBandBottom) {
        Surface s = embroidery(x, v);
        s.colour = s.colour * (0.85f + 0.15f * w.height);
        s.height += 0.06f * w.height;
        return s;
    }
    const float dye = 0.85f + 0.3f * fbm(u, v, 4, 4, 71);
    const float threadTone = w.warpOnTop ? 0.92f : 1.0f;
    const float wear = 1 - 0.25f * glm::smoothstep(0.6f, 0.8f, fbm(u, v, 6, 4, 72));
    const glm::vec3 wool{0.62f, 0.16f, 0.09f};
    return {wool * (dye * threadTone * wear * (0.72f + 0.28f * w.height)), 0.12f * w.height};
}

Surface skin(float u, float v)
{
    const float mottle = fbm(u, v, 8, 4, 81) - 0.5f;
    const float blush = glm::smoothstep(0.55f, 0.75f, fbm(u, v, 3, 3, 82));
    const glm::vec3 tone = lerp(glm::vec3{0.88f, 0.68f, 0.54f}, glm::vec3{0.9f, 0.6f, 0.52f}, 0.3f * blush);
    return {tone * (1 + 0.08f * mottle), 0.05f * mottle};
}

Surface trousers(float u, float v)
{
    // Twill: diagonal ribs, three threads wide.
    const float x = u * kCellPixels, y = v * kCellPixels;
    const float rib = 0.5f + 0.5f * std::sin(2 * glm::pi<float>() * (x + y) / 6.0f);
    const float fibres = fbmAniso(u, v, 64, 8, 2, 91);
    const float fade = 0.85f + 0.3f * fbm(u, v, 4, 4, 92);
    const glm::vec3 indigo{0.19f, 0.23f, 0.34f};
    return {indigo * (fade * (0.75f + 0.25f * rib) * (0.9f + 0.2f * fibres)), 0.1f * rib};
}

Surface leather(float u, float v)
{
    const float grain = fbm(u, v, 48, 3, 101);
    const float scratchLine = 1 - glm::smoothstep(0.003f, 0.009f, std::abs(fbmAniso(u, v, 3, 12, 3, 102) - 0.5f));
    const float scratch = scratchLine * glm::smoothstep(0.55f, 0.65f, fbm(u, v, 5, 2, 104));
    const float patina = 0.8f + 0.4f * fbm(u, v, 5, 4, 103);
    const glm::vec3 brown{0.36f, 0.22f, 0.12f};
    glm::vec3 c = brown * (patina * (0.85f + 0.3f * grain));
    c = lerp(c, glm::vec3{0.55f, 0.4f, 0.28f}, 0.5f * scratch);
    return {c, 0.2f * grain - 0.15f * scratch};
}

} // namespace

MaterialTextures heroTextures()
{
    Image colour(kSize);
    HeightField height(kSize);
    paintGrid(2, 2, {tunic, skin, trousers, leather}, colour, height);
    return {colour, normalMapFromHeight(height, 0.25f)};
}
