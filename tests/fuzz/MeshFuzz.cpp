// Model files of any kind through the game's import: read safely, into a mesh whose arrays
// agree, whose triangles use its own vertices and whose tangent frames are finite where its
// coordinates are.
#include "FuzzSupport.h"
#include "assets/MeshImport.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

bool allFinite(const std::vector<float>& values)
{
    return std::all_of(values.begin(), values.end(), [](float value) { return std::isfinite(value); });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::cout.setstate(std::ios::badbit); // a failed load prints a line per input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Mesh mesh;
    if (!importMesh(inputFile(data, size, ".obj"), 2.0f, mesh))
        return 0;
    const std::size_t vertices = mesh.positions.size() / 3;
    require(mesh.positions.size() == 3 * vertices && mesh.normals.size() == 3 * vertices);
    require(mesh.tangents.size() == 3 * vertices && mesh.bitangents.size() == 3 * vertices);
    require(mesh.uvs.size() == 2 * vertices);
    require(mesh.indices.size() % 3 == 0);
    for (std::uint32_t index : mesh.indices)
        require(index < vertices);
    // A file may give infinite coordinates itself; from finite ones the frames must be finite.
    if (!allFinite(mesh.positions) || !allFinite(mesh.uvs))
        return 0;
    require(allFinite(mesh.tangents) && allFinite(mesh.bitangents));
    return 0;
}
