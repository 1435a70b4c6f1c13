#pragma once
#include <array>
#include <cstddef>
#include <string>

// The models the game draws with, one a kind of object. Every hero, cube or flame of every
// level is drawn with its kind's model. The invisible cubes are drawn from the cubes' files,
// with textures of their own: the debug keys change their filters apart from the cubes'.
enum class ModelKind { Hero, Flame, Cube, InvisibleCube, Propeller, Bar, GlowQuad };
constexpr std::size_t modelKindCount = 7;

// What reading a kind's model file and its two images printed, by kind: a line for each file
// that could not be read, nothing when all were read.
using ModelReports = std::array<std::string, modelKindCount>;

inline const std::string& reportOf(const ModelReports& reports, ModelKind kind)
{
    return reports[static_cast<std::size_t>(kind)];
}
