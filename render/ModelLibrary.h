#pragma once
#include "assets/ModelKind.h"
#include "gl/MeshBuffers.h"
#include "gl/Texture.h"

#include <array>
#include <cstddef>
#include <glm/glm.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

class ShaderManager;

// One model in GL, ready to draw.
struct DrawnModel {
    std::unique_ptr<MeshBuffers> mesh;     // none when the file gave no mesh: nothing is drawn
    std::unique_ptr<Texture> colorTexture; // name 0 when its image could not be loaded
    std::unique_ptr<Texture> normalTexture;
    std::optional<Material> material; // only for what the lit passes draw
    glm::vec3 low{0.0f};              // the mesh's bounding box
    glm::vec3 high{0.0f};
};

// Reads every model of "Tindral/3DModels/" the game draws with, with its colour and normal
// images, each file once, and uploads them for every kind drawn from them. A file that cannot
// be read leaves its part empty, and its line in the kind's report: the game prints it where
// it makes an object of that kind from the files. The mesh arrays are not kept once uploaded.
class ModelLibrary {
public:
    explicit ModelLibrary(const ShaderManager& shaders);
    ModelLibrary(const ModelLibrary&) = delete;
    ModelLibrary& operator=(const ModelLibrary&) = delete;

    const DrawnModel& operator[](ModelKind kind) const { return models_[static_cast<std::size_t>(kind)]; }
    DrawnModel& operator[](ModelKind kind) { return models_[static_cast<std::size_t>(kind)]; }
    const ModelReports& reports() const { return reports_; }

private:
    std::array<DrawnModel, modelKindCount> models_;
    ModelReports reports_;
};

// Starts reading every model file and image on a thread of its own, so that it runs while the
// window and its GL context are made; the next library made takes the result over.
void decodeModelsEarly();

// The model file a kind is drawn from ("cube/cube" for "Tindral/3DModels/cube/cube.obj")...
std::string modelName(ModelKind kind);
// ...and how often its images repeat across it: its texture coordinates are multiplied by this.
float modelUvScale(ModelKind kind);

// An image file as a texture. One that cannot be read, is no regular file or is larger than
// the driver takes says why on `console` and gives a texture without an image.
std::unique_ptr<Texture> loadTexture(const std::string& path, std::ostream& console = std::cout);
