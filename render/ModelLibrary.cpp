#include "render/ModelLibrary.h"

#include "assets/DecodedImage.h"
#include "assets/MeshImport.h"
#include "gl/ShaderManager.h"

#include <future>
#include <iostream>
#include <iterator>
#include <sstream>

namespace {

const char* const modelFolder = "Tindral/3DModels/";

struct ModelFile {
    ModelKind kind;
    const ModelFiles& files; // the invisible cubes share the cubes'
};

// In the order of the kinds.
constexpr ModelFile modelFiles[] = {
    {ModelKind::Hero, heroModel},          {ModelKind::Flame, flameModel},         {ModelKind::Cube, cubeModel},
    {ModelKind::InvisibleCube, cubeModel}, {ModelKind::Propeller, propellerModel}, {ModelKind::Bar, barModel},
    {ModelKind::GlowQuad, planeModel},
};

constexpr bool inKindOrder()
{
    for (std::size_t i = 0; i < std::size(modelFiles); ++i)
        if (static_cast<std::size_t>(modelFiles[i].kind) != i)
            return false;
    return true;
}
static_assert(inKindOrder() && std::size(modelFiles) == modelKindCount, "modelFiles lists the kinds in their order");

const ModelFile& fileOf(ModelKind kind)
{
    return modelFiles[static_cast<std::size_t>(kind)];
}

// The first kind drawn from the same files as `kind`, whose reading of them every later one
// shares.
std::size_t firstReaderOf(std::size_t kind)
{
    for (std::size_t earlier = 0; earlier < kind; ++earlier)
        if (&modelFiles[earlier].files == &modelFiles[kind].files)
            return earlier;
    return kind;
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

// The largest image side read before the driver can be asked: what software drivers and most
// desktop ones take. Images are checked against the driver's own limit when they are uploaded.
constexpr int largestDecodedSide = 16384;

// A model's files read into memory, with what reading them had to say.
struct DecodedModel {
    Mesh mesh;
    bool imported = false;
    std::string importReport;
    std::unique_ptr<DecodedImage> colorImage;
    std::unique_ptr<DecodedImage> normalImage;
};

using DecodedModels = std::array<DecodedModel, std::size(modelFiles)>;

std::string pathOf(const ModelFile& file)
{
    return modelFolder + modelName(file.kind);
}

DecodedModels decodeModels(int maxSide)
{
    DecodedModels decoded;
    for (std::size_t kind = 0; kind < decoded.size(); ++kind) {
        if (firstReaderOf(kind) != kind)
            continue;
        const std::string base = pathOf(modelFiles[kind]);
        DecodedModel& model = decoded[kind];
        std::ostringstream report;
        model.imported = importMesh(base + ".obj", modelFiles[kind].files.uvScale, model.mesh, report);
        model.importReport = report.str();
        model.colorImage = std::make_unique<DecodedImage>(base + "_diff.jpg", maxSide);
        model.normalImage = std::make_unique<DecodedImage>(base + "_norm.jpg", maxSide);
    }
    return decoded;
}

// Filled by decodeModelsEarly; waited for at the end of the run if nobody took it.
std::future<DecodedModels>& earlyModels()
{
    static std::future<DecodedModels> pending;
    return pending;
}

std::unique_ptr<Texture> uploadTexture(const std::string& path, DecodedImage& image, std::ostream& console)
{
    image.refuseIfLargerThan(largestTextureSide());
    if (image.loadError != 0) {
        console << "couldnt load texture: " << path << "\n" << image.loadError << std::endl;
        return std::make_unique<Texture>();
    }
    if (!image.converted) {
        console << "couldnt convert texture: " << path << std::endl;
        return std::make_unique<Texture>();
    }
    return std::make_unique<Texture>(image.width, image.height, image.pixels());
}

// Uploads a model in the order it was always read, so that its report's lines come in the
// same order: the mesh's, the colour image's, the normal map's.
DrawnModel uploadModel(const ModelFile& file, DecodedModel& decoded, const ShaderManager& shaders, std::string& report)
{
    const std::string base = pathOf(file);
    DrawnModel model;
    std::ostringstream console;
    console << decoded.importReport;
    model.colorTexture = uploadTexture(base + "_diff.jpg", *decoded.colorImage, console);
    model.normalTexture = uploadTexture(base + "_norm.jpg", *decoded.normalImage, console);
    report = console.str();
    model.material = file.files.material;
    if (decoded.imported) {
        const Mesh& mesh = decoded.mesh;
        const VertexStreams streams{mesh.positions, mesh.normals,    mesh.uvs,
                                    mesh.tangents,  mesh.bitangents, mesh.indices};
        model.mesh = std::make_unique<MeshBuffers>(streams, shaders.program(ProgramKind::Basic));
        boundingBox(mesh.positions, model.low, model.high);
    }
    return model;
}

} // namespace

void decodeModelsEarly()
{
    if (!earlyModels().valid())
        earlyModels() = std::async(std::launch::async, decodeModels, largestDecodedSide);
}

ModelLibrary::ModelLibrary(const ShaderManager& shaders)
{
    DecodedModels decoded = earlyModels().valid() ? earlyModels().get() : decodeModels(largestTextureSide());
    for (std::size_t kind = 0; kind < models_.size(); ++kind)
        models_[kind] = uploadModel(modelFiles[kind], decoded[firstReaderOf(kind)], shaders, reports_[kind]);
}

std::unique_ptr<Texture> loadTexture(const std::string& path, std::ostream& console)
{
    DecodedImage image(path, largestTextureSide());
    return uploadTexture(path, image, console);
}

std::string modelName(ModelKind kind)
{
    const std::string name = fileOf(kind).files.name;
    return name + "/" + name;
}

float modelUvScale(ModelKind kind)
{
    return fileOf(kind).files.uvScale;
}
