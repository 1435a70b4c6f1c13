#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class Texture;

// The three lighting factors of an object's surface.
struct Material {
    float ambient;
    float diffuse;
    float specular;
};

// CPU copies of a model's first mesh; every object keeps its own.
struct Mesh {
    std::vector<std::uint32_t> indices;
    std::vector<float> positions;
    std::vector<float> uvs;
    std::vector<float> normals;
    std::vector<float> tangents;
    std::vector<float> bitangents;
};

// The GL vertex array and its six buffers. Deleted when the last object using them goes.
struct GpuMesh {
    GpuMesh() = default;
    ~GpuMesh();
    GpuMesh(const GpuMesh&) = delete;
    GpuMesh& operator=(const GpuMesh&) = delete;

    unsigned int vertexArray = 0;
    unsigned int positionBuffer = 0;
    unsigned int normalBuffer = 0;
    unsigned int indexBuffer = 0;
    unsigned int uvBuffer = 0;
    unsigned int tangentBuffer = 0;
    unsigned int bitangentBuffer = 0;
};

// Everything an object draws with. Copying a Model shares the GL objects, the textures and
// the material, and copies the mesh arrays.
struct Model {
    std::shared_ptr<GpuMesh> gpu; // null when nothing could be imported: the object draws nothing
    std::shared_ptr<Texture> colorTexture;
    std::shared_ptr<Texture> normalTexture;
    std::shared_ptr<Material> material;
    Mesh mesh;
};
