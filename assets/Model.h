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

// Everything an object draws with. Copying a Model shares all of it: the GL objects, the
// textures, the material and the mesh arrays, which nothing changes once they are read.
struct Model {
    // Imports "Tindral/3DModels/<name>.obj" with "<name>_diff.jpg" and "<name>_norm.jpg" and
    // uploads it, its vertex attributes bound by name in the lit program. A model that cannot
    // be imported keeps its textures and draws nothing. While an object still uses a model
    // that loaded completely, a new one of the same name and uvScale shares it instead of
    // reading the files again; one that failed in any part is read again, with its lines.
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
    std::shared_ptr<const Mesh> mesh = noMesh();

private:
    static std::shared_ptr<const Mesh> noMesh();
    // Reads the files; true when the mesh and both textures came out whole.
    bool loadFiles(const std::string& name, float uvScale, const ShaderManager& shaders);
    void uploadBuffers(const Mesh& arrays, const ShaderManager& shaders);
    void bindSurface(bool opaque, const ShaderManager& shaders) const;
};
