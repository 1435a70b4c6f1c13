#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>

// The models the game draws with, one a kind of object. Every hero, cube or flame of every
// level is drawn with its kind's model. The invisible cubes are drawn from the cubes' files,
// with textures of their own: the debug keys change their filters apart from the cubes'.
enum class ModelKind { Hero, Flame, Cube, InvisibleCube, Propeller, Bar, GlowQuad };
constexpr std::size_t modelKindCount = 7;

// The three lighting factors of a lit surface.
struct Material {
    float ambient;
    float diffuse;
    float specular;
};

// One model's files under "Tindral/3DModels/": name/name.obj, name/name_diff.jpg and
// name/name_norm.jpg.
struct ModelFiles {
    const char* name;
    float uvScale;                    // texture coordinates are multiplied by it: the image repeats
    std::optional<Material> material; // only for what the lit passes draw
};

// The six models: the game reads them, artgen writes them.
inline constexpr ModelFiles cubeModel{"cube", 2.0f, Material{0.2f, 1.5f, 0.2f}};
inline constexpr ModelFiles heroModel{"hero", 4.0f, Material{0.2f, 1.0f, 0.1f}};
inline constexpr ModelFiles flameModel{"flame", 1.0f, Material{0.0f, 1.0f, 0.1f}};
inline constexpr ModelFiles propellerModel{"propeller", 4.0f, Material{0.2f, 1.0f, 0.1f}};
inline constexpr ModelFiles barModel{"bar", 1.0f, std::nullopt};
inline constexpr ModelFiles planeModel{"plane", 1.0f, std::nullopt};

// What reading a kind's model file and its two images printed, by kind: a line for each file
// that could not be read, nothing when all were read.
using ModelReports = std::array<std::string, modelKindCount>;

inline const std::string& reportOf(const ModelReports& reports, ModelKind kind)
{
    return reports[static_cast<std::size_t>(kind)];
}
