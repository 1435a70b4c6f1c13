// The propeller: three blades of painted wood, chipped at the edges, and a brushed metal hub,
// one horizontal band each (see Atlas.h).
#include "Atlas.h"
#include "Lerp.h"
#include "Noise.h"
#include "Textures.h"

#include <algorithm>
#include <cmath>
#include <glm/common.hpp>
#include <glm/gtc/constants.hpp>

namespace {

constexpr int kSize = 512;

struct Wood {
    float rings; // 0..1, dark late wood to light early wood
    float fibres;
};

// Grain runs along u, the blade's length.
Wood woodGrain(float u, float v, std::uint32_t seed)
{
    const float w = v * 7.0f + 2.5f * fbmAniso(u, v, 2, 4, 4, seed);
    const float rings = 0.5f + 0.5f * std::sin(2 * glm::pi<float>() * w);
    return {rings * rings, fbmAniso(u, v, 4, 64, 3, seed + 1)};
}

Painter paintedWood(glm::vec3 paint, std::uint32_t seed)
{
    return [paint, seed](float u, float v) {
        const Wood wood = woodGrain(u, v, seed);
        const glm::vec3 bare =
            glm::vec3{0.58f, 0.4f, 0.23f} * (0.7f + 0.3f * wood.rings) * (0.85f + 0.3f * wood.fibres);
        // Paint flakes off first near the edges, where the blade takes the knocks.
        const float edge = 1 - glm::smoothstep(0.0f, 0.15f, std::min({u, 1 - u, v, 1 - v}));
        // A band is four times wider than tall; the noise cells are too, so flakes come out round.
        const float flake = fbmAniso(u, v, 32, 8, 4, seed + 2);
        const float threshold = 0.7f - 0.12f * edge;
        const float chipped = glm::smoothstep(threshold, threshold + 0.02f, flake);
        const float paintDepth = 1 - glm::smoothstep(threshold - 0.02f, threshold + 0.05f, flake); // worn-down rim
        const glm::vec3 tipColour{0.93f, 0.92f, 0.88f}; // a white warning stripe near the tip
        const glm::vec3 coat = u > 0.86f && u < 0.94f ? tipColour : paint;
        const glm::vec3 painted = coat * (0.88f + 0.12f * wood.fibres + 0.06f * wood.rings);
        return Surface{lerp(painted, bare, chipped), 0.3f * paintDepth + 0.1f * wood.rings};
    };
}

Surface brushedMetal(float u, float v)
{
    const float streaks = fbmAniso(u, v, 2, 96, 3, 121);
    const float smudge = fbm(u, v, 4, 3, 122);
    const float grey = 0.5f + 0.18f * streaks + 0.08f * (smudge - 0.5f);
    return {glm::vec3{grey, grey, grey * 1.04f}, 0.15f * streaks};
}

} // namespace

MaterialTextures propellerTextures()
{
    static_assert(atlas::kPropellerBands == 4, "three blades and the hub");
    Image colour(kSize);
    HeightField height(kSize);
    paintGrid(1, atlas::kPropellerBands,
              {paintedWood({0.72f, 0.1f, 0.07f}, 111), paintedWood({0.95f, 0.7f, 0.1f}, 112),
               paintedWood({0.1f, 0.3f, 0.7f}, 113), brushedMetal},
              colour, height);
    return {colour, normalMapFromHeight(height, 0.2f)};
}
