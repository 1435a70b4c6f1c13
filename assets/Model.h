#pragma once
#include "assets/MeshImport.h"

#include <memory>
#include <string>

class ShaderManager;
class Texture;

// The three lighting factors of an object's surface.
struct Material {
    float ambient;
    float diffuse;
    float specular;
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
    // Imports "Tindral/3DModels/<name>.obj" with "<name>_diff.jpg" and "<name>_norm.jpg" and
    // uploads it, its vertex attributes bound by name in the lit program. A model that cannot
    // be imported keeps its textures and draws nothing.
    void loadModel(const std::string& name, float uvScale, const ShaderManager& shaders);
    void loadColorTexture(const std::string& path);
    void loadNormalTexture(const std::string& path);

    // One indexed draw with whichever program the pass has made current. The lit passes
    // bind the textures and the material first; only the main pass makes the surface opaque.
    void draw(int pass, const ShaderManager& shaders) const;

    std::shared_ptr<GpuMesh> gpu; // null when nothing could be imported: the object draws nothing
    std::shared_ptr<Texture> colorTexture;
    std::shared_ptr<Texture> normalTexture;
    std::shared_ptr<Material> material;
    Mesh mesh;

private:
    void uploadBuffers(const ShaderManager& shaders);
    void bindSurface(bool opaque, const ShaderManager& shaders) const;
};
