#include "assets/MeshImport.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <filesystem>
#include <glm/glm.hpp>
#include <iostream>

namespace {

// Left-handed conversion (with flipped uvs and winding), shared vertices, triangles only,
// merged meshes. Tangent space is computed here, not by the importer.
constexpr unsigned int importFlags =
    aiProcess_ConvertToLeftHanded | aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_OptimizeMeshes;
static_assert(importFlags == 0x1A0000E, "model import flags changed");

glm::vec3 vec3At(const std::vector<float>& values, size_t vertex)
{
    return glm::vec3(values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]);
}

glm::vec2 vec2At(const std::vector<float>& values, size_t vertex)
{
    return glm::vec2(values[2 * vertex], values[2 * vertex + 1]);
}

void setVec3At(std::vector<float>& values, size_t vertex, const aiVector3D& v)
{
    values[3 * vertex] = v.x;
    values[3 * vertex + 1] = v.y;
    values[3 * vertex + 2] = v.z;
}

void addVec3At(std::vector<float>& values, size_t vertex, glm::vec3 v)
{
    values[3 * vertex] += v.x;
    values[3 * vertex + 1] += v.y;
    values[3 * vertex + 2] += v.z;
}

bool isFinite(glm::vec3 v)
{
    return !glm::any(glm::isinf(v)) && !glm::any(glm::isnan(v));
}

// Tangents and bitangents from windows of three consecutive vertices in storage order,
// summed per vertex and left unnormalised (the lit shader normalises them). A window whose
// uvs do not span an area says nothing about the texture's directions and adds nothing.
void accumulateTangentFrames(Mesh& mesh)
{
    const size_t vertexCount = mesh.positions.size() / 3;
    for (size_t i0 = 0; i0 < vertexCount; ++i0) {
        const size_t i1 = (i0 + 1) % vertexCount;
        const size_t i2 = (i0 + 2) % vertexCount;
        const glm::vec3 dP1 = vec3At(mesh.positions, i1) - vec3At(mesh.positions, i0);
        const glm::vec3 dP2 = vec3At(mesh.positions, i2) - vec3At(mesh.positions, i0);
        const glm::vec2 dUV1 = vec2At(mesh.uvs, i1) - vec2At(mesh.uvs, i0);
        const glm::vec2 dUV2 = vec2At(mesh.uvs, i2) - vec2At(mesh.uvs, i0);
        const float determinant = dUV1.x * dUV2.y - dUV1.y * dUV2.x;
        if (determinant == 0.0f)
            continue;
        const float r = 1.0f / determinant;
        const glm::vec3 tangent = (dP1 * dUV2.y - dP2 * dUV1.y) * r;
        const glm::vec3 bitangent = (dP2 * dUV1.x - dP1 * dUV2.x) * r;
        // Nor does one whose area is so small that its directions overflow a float.
        if (!isFinite(tangent) || !isFinite(bitangent))
            continue;
        for (size_t vertex : {i0, i1, i2}) {
            addVec3At(mesh.tangents, vertex, tangent);
            addVec3At(mesh.bitangents, vertex, bitangent);
        }
    }
}

// Points and lines that the file may mix in have fewer than three corners: not triangles.
std::vector<std::uint32_t> triangleIndices(const aiMesh& source)
{
    std::vector<std::uint32_t> indices;
    indices.reserve(3 * static_cast<size_t>(source.mNumFaces));
    for (unsigned int f = 0; f < source.mNumFaces; ++f) {
        const aiFace& face = source.mFaces[f];
        if (face.mNumIndices >= 3)
            indices.insert(indices.end(), face.mIndices, face.mIndices + 3);
    }
    return indices;
}

// What the file lacks stays zero.
void copyVertices(const aiMesh& source, float uvScale, Mesh& mesh)
{
    const size_t vertexCount = source.mNumVertices;
    mesh.positions.assign(3 * vertexCount, 0.0f);
    mesh.normals.assign(3 * vertexCount, 0.0f);
    mesh.tangents.assign(3 * vertexCount, 0.0f);
    mesh.bitangents.assign(3 * vertexCount, 0.0f);
    mesh.uvs.assign(2 * vertexCount, 0.0f);
    for (size_t i = 0; i < vertexCount; ++i) {
        if (source.HasPositions())
            setVec3At(mesh.positions, i, source.mVertices[i]);
        if (source.HasNormals())
            setVec3At(mesh.normals, i, source.mNormals[i]);
        if (source.HasTextureCoords(0)) {
            const aiVector3D& t = source.mTextureCoords[0][i];
            mesh.uvs[2 * i] = t.x * uvScale;
            mesh.uvs[2 * i + 1] = t.y * uvScale;
        }
    }
}

} // namespace

bool importMesh(const std::string& path, float uvScale, Mesh& mesh, std::ostream& console)
{
    // The importer would open a FIFO and wait for a writer forever: anything but a regular
    // file is reported as the importer reports a missing one.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        console << "Unable to open file \"" << path << "\"." << std::endl;
        return false;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path.c_str(), importFlags);
    if (!scene) {
        console << importer.GetErrorString() << std::endl;
        return false;
    }
    if (scene->mNumMeshes == 0 || !scene->mMeshes[0]) {
        console << "no mesh in model: " << path << std::endl;
        return false;
    }
    const aiMesh& source = *scene->mMeshes[0];
    mesh.indices = triangleIndices(source);
    copyVertices(source, uvScale, mesh);
    accumulateTangentFrames(mesh);
    return true;
}
