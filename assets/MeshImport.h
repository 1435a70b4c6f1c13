#pragma once
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

// CPU copies of a model's first mesh; every object keeps its own.
struct Mesh {
    std::vector<std::uint32_t> indices;
    std::vector<float> positions;
    std::vector<float> uvs;
    std::vector<float> normals;
    std::vector<float> tangents;
    std::vector<float> bitangents;
};

// Fills `mesh` from the first mesh of a model file, texture coordinates multiplied by uvScale,
// with per-vertex tangents and bitangents. False, with the reason, when the
// file gives no mesh; `mesh` is then left as it was. The reason goes to `console`.
bool importMesh(const std::string& path, float uvScale, Mesh& mesh, std::ostream& console = std::cout);
