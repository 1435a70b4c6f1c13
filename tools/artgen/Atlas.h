#pragma once
// Where the materials of the hero and the propeller sit in their textures. The model code maps
// each part onto its region and the texture code paints the regions, so both read this.
#include "Mesh.h"

namespace atlas {

// A quarter of the image, kept a few texels away from its neighbours so filtering and the
// first mipmaps do not bleed one material into another.
inline UvRect quadrant(int column, int row)
{
    constexpr float margin = 1.0f / 64.0f;
    const float x = 0.5f * static_cast<float>(column), y = 0.5f * static_cast<float>(row);
    return {{x + margin, y + margin}, {x + 0.5f - margin, y + 0.5f - margin}};
}

// Hero: tunic cloth, skin, trousers, leather.
inline UvRect heroTunic()
{
    return quadrant(0, 0);
}
inline UvRect heroSkin()
{
    return quadrant(1, 0);
}
inline UvRect heroTrousers()
{
    return quadrant(0, 1);
}
inline UvRect heroLeather()
{
    return quadrant(1, 1);
}

// Propeller: four horizontal bands, three painted blade colours and the metal of the hub.
constexpr int kPropellerBands = 4;
inline UvRect propellerBand(int band)
{
    constexpr float margin = 1.0f / 64.0f;
    const float y0 = static_cast<float>(band) / kPropellerBands;
    return {{margin, y0 + margin}, {1 - margin, y0 + 1.0f / kPropellerBands - margin}};
}
inline UvRect propellerBlade(int blade)
{
    return propellerBand(blade);
}
inline UvRect propellerMetal()
{
    return propellerBand(3);
}

} // namespace atlas
