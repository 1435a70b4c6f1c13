#include "Noise.h"

#include <cmath>

std::uint32_t Rng::next()
{
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

float latticeValue(int x, int y, std::uint32_t seed)
{
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

namespace {

float fade(float t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

int wrap(int i, int period)
{
    return ((i % period) + period) % period;
}

float valueNoise2(float x, float y, int periodX, int periodY, std::uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int x0 = wrap(static_cast<int>(fx), periodX), y0 = wrap(static_cast<int>(fy), periodY);
    const int x1 = wrap(x0 + 1, periodX), y1 = wrap(y0 + 1, periodY);
    const float tx = fade(x - fx), ty = fade(y - fy);
    const float top = latticeValue(x0, y0, seed) + (latticeValue(x1, y0, seed) - latticeValue(x0, y0, seed)) * tx;
    const float bottom = latticeValue(x0, y1, seed) + (latticeValue(x1, y1, seed) - latticeValue(x0, y1, seed)) * tx;
    return top + (bottom - top) * ty;
}

} // namespace

float valueNoise(float x, float y, int period, std::uint32_t seed)
{
    return valueNoise2(x, y, period, period, seed);
}

float fbmAniso(float u, float v, int periodU, int periodV, int octaves, std::uint32_t seed, float gain)
{
    float sum = 0, weight = 1, totalWeight = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * valueNoise2(u * static_cast<float>(periodU), v * static_cast<float>(periodV), periodU, periodV,
                                    seed + static_cast<std::uint32_t>(o) * 101u);
        totalWeight += weight;
        weight *= gain;
        periodU *= 2;
        periodV *= 2;
    }
    return sum / totalWeight;
}

float fbm(float u, float v, int basePeriod, int octaves, std::uint32_t seed, float gain)
{
    return fbmAniso(u, v, basePeriod, basePeriod, octaves, seed, gain);
}
