// Weathered dark stone for the cube columns: laid blocks with mortar joints, worn edges,
// pits, cracks and damp stains. The tile repeats once per cell face.
#include "Lerp.h"
#include "Noise.h"
#include "Textures.h"

#include <algorithm>
#include <cmath>
#include <glm/common.hpp>

namespace {

constexpr int kSize = 512;
constexpr float kMortarHalfWidth = 4.0f; // pixels
constexpr float kBevelWidth = 9.0f;      // pixels over which a block's edge rounds off

struct BlockHit {
    int id;
    float edgeDistance; // pixels to the nearest joint
};

// Two courses per tile, each with a joint on the tile's edge so every cell shows its outline;
// the inner joints are staggered like laid stone.
BlockHit blockAt(float x, float y)
{
    struct Course {
        float top, bottom;
        std::vector<float> joints;
    };
    static const Course courses[] = {{0, 232, {0, 300, kSize}}, {232, kSize, {0, 176, 360, kSize}}};
    int id = 0;
    for (const Course& course : courses) {
        for (std::size_t j = 0; j + 1 < course.joints.size(); ++j, ++id) {
            const float left = course.joints[j], right = course.joints[j + 1];
            if (y < course.top || y >= course.bottom || x < left || x >= right)
                continue;
            return {id, std::min({x - left, right - x, y - course.top, course.bottom - y})};
        }
    }
    return {0, 0};
}

struct StoneSample {
    float face;  // 0 in the joint, 1 on the block's face; a soft edge for the relief
    float edge;  // the same with a crisp edge, for the colour
    float crack; // 0 to 1
    float pit;   // 0 to 1
    int block;
    float edgeDistance;
};

StoneSample sampleStone(float x, float y, float u, float v)
{
    const BlockHit hit = blockAt(x, y);
    // Ragged joints: the distance to the joint wanders, and corners are chipped away in places.
    const float ragged = (fbm(u, v, 16, 3, 11) - 0.5f) * 8.0f + (fbm(u, v, 4, 2, 12) - 0.5f) * 6.0f;
    const float chipped = glm::smoothstep(0.55f, 0.75f, fbm(u, v, 12, 3, 13)) * 10.0f;
    const float d = hit.edgeDistance + ragged - chipped;
    StoneSample s{};
    s.block = hit.id;
    s.edgeDistance = d;
    s.face = glm::smoothstep(kMortarHalfWidth, kMortarHalfWidth + kBevelWidth, d);
    s.edge = glm::smoothstep(kMortarHalfWidth, kMortarHalfWidth + 2.5f, d);
    // Cracks follow a noise contour; a second noise breaks the contour into separate runs.
    const float crackLine = std::abs(fbm(u, v, 4, 4, 21, 0.45f) - 0.5f);
    const float crackRuns = glm::smoothstep(0.55f, 0.62f, fbm(u, v, 6, 2, 22));
    s.crack = (1 - glm::smoothstep(0.002f, 0.008f, crackLine)) * crackRuns * s.edge;
    s.pit = glm::smoothstep(0.64f, 0.76f, fbm(u, v, 24, 4, 31, 0.6f)) * s.edge;
    return s;
}

float stoneHeight(const StoneSample& s, float u, float v)
{
    const float blockOffset = (latticeValue(s.block, 0, 41) - 0.5f) * 0.15f;
    const float face = 0.4f + 0.6f * fbm(u, v, 4, 6, 42) + 0.1f * fbm(u, v, 32, 3, 44) + blockOffset;
    const float mortar = 0.1f + 0.08f * fbm(u, v, 32, 3, 43);
    return lerp(mortar, face, s.face) - 0.15f * s.crack - 0.12f * s.pit;
}

glm::vec3 stoneColour(const StoneSample& s, int x, int y, float u, float v)
{
    const float brightness = 0.8f + 0.3f * latticeValue(s.block, 1, 51);
    const float warmth = (latticeValue(s.block, 2, 51) - 0.5f) * 0.04f;
    const float mottle = (0.75f + 0.5f * fbm(u, v, 8, 5, 52)) * (0.85f + 0.3f * fbm(u, v, 48, 2, 56));
    const float grain = (latticeValue(x, y, 53) - 0.5f) * 0.07f;
    glm::vec3 stone =
        glm::vec3{0.35f + warmth, 0.33f, 0.31f - warmth} * (brightness * mottle) + glm::vec3{grain, grain, grain};
    // Worn edges are paler; the face darkens a little toward the joints where dirt settles.
    const float wornEdge = s.edge * (1 - s.face);
    stone = stone * (0.8f + 0.2f * glm::smoothstep(0.0f, 30.0f, s.edgeDistance)) +
            glm::vec3{0.06f, 0.06f, 0.05f} * wornEdge;
    const glm::vec3 mortar = glm::vec3{0.17f, 0.16f, 0.14f} * (0.7f + 0.6f * fbm(u, v, 32, 3, 54));
    glm::vec3 c = lerp(mortar, stone, s.edge);
    c = c * (1 - 0.6f * s.crack) * (1 - 0.35f * s.pit);
    // Rain streaks run down the faces; damp stains gather in patches.
    const float streaks = glm::smoothstep(0.5f, 0.8f, fbmAniso(u, v, 24, 2, 3, 57));
    c = c * (1 - 0.25f * streaks * s.edge);
    const float damp = glm::smoothstep(0.58f, 0.78f, fbm(u, v, 4, 5, 55)) * 0.4f;
    return lerp(c, glm::vec3{0.15f, 0.17f, 0.12f}, damp);
}

} // namespace

MaterialTextures stoneTextures()
{
    Image colour(kSize);
    HeightField height(kSize);
    forEachPixel(kSize, [&](int x, int y, float u, float v) {
        const StoneSample s = sampleStone(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, u, v);
        colour.at(x, y) = stoneColour(s, x, y, u, v);
        height.at(x, y) = stoneHeight(s, u, v);
    });
    return {colour, normalMapFromHeight(height, 0.06f)};
}
