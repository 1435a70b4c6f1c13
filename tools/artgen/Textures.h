#pragma once
// Procedural textures: for each model a colour image and a tangent-space normal map.
#include "Image.h"

#include <functional>

struct MaterialTextures {
    Image colour;
    Image normal;
};

MaterialTextures stoneTextures();
MaterialTextures heroTextures();
MaterialTextures flameTextures();
MaterialTextures propellerTextures();
MaterialTextures barTextures();
MaterialTextures planeTextures();

// ---- shared painting helpers --------------------------------------------------------------

// What a painter decides for one point of a material: its colour and its relief.
struct Surface {
    glm::vec3 colour;
    float height = 0;
};

// A painter works in the material's own coordinates u, v in [0, 1) over its region.
using Painter = std::function<Surface(float u, float v)>;

// Paints a square texture split into `columns` x `rows` equal cells, one painter per cell
// (listed row by row), into the colour image and the height field for the normal map.
void paintGrid(int columns, int rows, const std::vector<Painter>& painters, Image& colour, HeightField& height);

// Piecewise-linear colour ramp through (position, colour) stops sorted by position.
struct ColourStop {
    float at;
    glm::vec3 colour;
};
glm::vec3 ramp(const std::vector<ColourStop>& stops, float t);
