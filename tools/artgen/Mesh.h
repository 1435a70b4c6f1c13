#pragma once
// A triangle mesh authored in game space: y up, the level running toward -z, triangles
// counter-clockwise when seen from outside. The OBJ writer turns it into what the game's
// importer expects; nothing here knows about the file format.
#include "Lerp.h"

#include <array>
#include <cstdint>
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <vector>

// Texture coordinates are given as the game samples them: u to the right, v down the image
// (v = 0 is the first row of the JPEG), before the object's uvScale.
struct Vertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

// Part of the texture a piece of geometry maps onto; lets one image carry several materials.
struct UvRect {
    glm::vec2 min{0, 0};
    glm::vec2 max{1, 1};
    glm::vec2 at(float u, float v) const { return {lerp(min.x, max.x, u), lerp(min.y, max.y, v)}; }
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<std::array<std::uint32_t, 3>> triangles;

    std::uint32_t addVertex(glm::vec3 position, glm::vec3 normal, glm::vec2 uv);
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) { triangles.push_back({a, b, c}); }
    // Corners counter-clockwise seen from the side `normal` points to.
    void addQuad(const std::array<glm::vec3, 4>& corners, glm::vec3 normal, const std::array<glm::vec2, 4>& uvs);
    void append(const Mesh& part, const glm::mat4& transform = glm::mat4(1.0f));
};

// A profile point of a surface of revolution about the y axis. A point listed twice in a row
// makes a crease (for example the rim of a cylinder's cap).
struct ProfilePoint {
    float radius;
    float y;
};

// Revolves the profile (listed from bottom to top) about the y axis. u runs once around,
// starting at `seamAngle` (radians from +z toward +x); v runs from the top of the profile
// (v = 0) to the bottom (v = 1) within `region`.
Mesh lathe(const std::vector<ProfilePoint>& profile, int segments, UvRect region, float seamAngle = 0);

// Closed cylinder along y from y0 to y1.
Mesh cylinder(float radius, float y0, float y1, int segments, UvRect region, float seamAngle = 0);
Mesh sphere(float radius, int segments, int rings, UvRect region, float seamAngle = 0);

// A six-sided solid from its eight corners: index bit 0 selects +x, bit 1 +y, bit 2 +z (in the
// solid's own frame; corners may be moved as long as each face stays flat). Every face shows
// the whole region upright: the sides with +y up, the top with -z up, the bottom with +z up.
Mesh hexahedron(const std::array<glm::vec3, 8>& corners, UvRect region);
Mesh box(glm::vec3 min, glm::vec3 max, UvRect region);
