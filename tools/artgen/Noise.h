#pragma once
// Deterministic randomness for the textures: a small PRNG and tileable value noise. Nothing
// depends on the standard library's generators or distributions, whose output may differ
// between implementations, so every build writes the same bytes.
#include <cstdint>

// PCG-style 32-bit generator with a fixed stream.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
    std::uint32_t next();
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); } // [0, 1)
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint64_t state_;
};

// Hash of a lattice point to [0, 1).
float latticeValue(int x, int y, std::uint32_t seed);

// Value noise in [0, 1] that repeats every `period` units in x and y.
float valueNoise(float x, float y, int period, std::uint32_t seed);

// Sum of `octaves` layers of value noise over the unit square [0, 1)^2, the first with
// `basePeriod` cells per side and each further one with twice as many at `gain` times the
// weight. Tiles seamlessly across the unit square; result in [0, 1].
float fbm(float u, float v, int basePeriod, int octaves, std::uint32_t seed, float gain = 0.5f);

// Like fbm but stretched: `periodU` cells across and `periodV` down (both doubling per octave).
float fbmAniso(float u, float v, int periodU, int periodV, int octaves, std::uint32_t seed, float gain = 0.5f);
