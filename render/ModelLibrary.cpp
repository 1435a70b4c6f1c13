#include "render/ModelLibrary.h"

#include "assets/DecodedImage.h"
#include "assets/MeshImport.h"
#include "gl/ShaderManager.h"

#include <iostream>
#include <iterator>

namespace {

const char* const modelFolder = "Tindral/3DModels/";

struct ModelFile {
    ModelKind kind;
    const char* name;
    float uvScale; // texture coordinates are multiplied by it: the image repeats on the model
    std::optional<Material> material;
};

// In the order of the kinds, which is the order the game first read them in: their console
// lines come in the same order.
constexpr ModelFile modelFiles[] = {
    {ModelKind::Hero, "hero/hero", 4.0f, Material{0.2f, 1.0f, 0.1f}},
    {ModelKind::Flame, "flame/flame", 1.0f, Material{0.0f, 1.0f, 0.1f}},
    {ModelKind::Cube, "cube/cube", 2.0f, Material{0.2f, 1.5f, 0.2f}},
    {ModelKind::Propeller, "propeller/propeller", 4.0f, Material{0.2f, 1.0f, 0.1f}},
    {ModelKind::Bar, "bar/bar", 1.0f, std::nullopt},
    {ModelKind::GlowQuad, "plane/plane", 1.0f, std::nullopt},
};

constexpr bool inKindOrder()
{
    for (std::size_t i = 0; i < std::size(modelFiles); ++i)
        if (static_cast<std::size_t>(modelFiles[i].kind) != i)
            return false;
    return true;
}
static_assert(inKindOrder(), "modelFiles lists the kinds in their order");

const ModelFile& fileOf(ModelKind kind)
{
    return modelFiles[static_cast<std::size_t>(kind)];
}

void boundingBox(const std::vector<float>& positions, glm::vec3& low, glm::vec3& high)
{
    if (positions.size() < 3)
        return;
    low = high = glm::vec3(positions[0], positions[1], positions[2]);
    for (std::size_t i = 3; i + 2 < positions.size(); i += 3) {
        const glm::vec3 p(positions[i], positions[i + 1], positions[i + 2]);
        low = glm::min(low, p);
        high = glm::max(high, p);
    }
}

DrawnModel loadModel(const ModelFile& file, const ShaderManager& shaders)
{
    const std::string base = modelFolder + std::string(file.name);
    DrawnModel model;
    Mesh mesh;
    const bool imported = importMesh(base + ".obj", file.uvScale, mesh);
    model.colorTexture = loadTexture(base + "_diff.jpg");
    model.normalTexture = loadTexture(base + "_norm.jpg");
    model.material = file.material;
    if (imported) {
        const VertexStreams streams{mesh.positions, mesh.normals,    mesh.uvs,
                                    mesh.tangents,  mesh.bitangents, mesh.indices};
        model.mesh = std::make_unique<MeshBuffers>(streams, shaders.program(ProgramKind::Basic));
        boundingBox(mesh.positions, model.low, model.high);
    }
    return model;
}

} // namespace

ModelLibrary::ModelLibrary(const ShaderManager& shaders)
{
    for (std::size_t kind = 0; kind < models_.size(); ++kind)
        models_[kind] = loadModel(modelFiles[kind], shaders);
}

std::unique_ptr<Texture> loadTexture(const std::string& path)
{
    const DecodedImage image(path, largestTextureSide());
    if (image.loadError != 0) {
        std::cout << "couldnt load texture: " << path << "\n" << image.loadError << std::endl;
        return std::make_unique<Texture>();
    }
    if (!image.converted) {
        std::cout << "couldnt convert texture: " << path << std::endl;
        return std::make_unique<Texture>();
    }
    return std::make_unique<Texture>(image.width, image.height, image.pixels());
}

std::string modelName(ModelKind kind)
{
    return fileOf(kind).name;
}

float modelUvScale(ModelKind kind)
{
    return fileOf(kind).uvScale;
}
