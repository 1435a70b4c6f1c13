// artgen: writes the game's six models and their textures into <run data>/3DModels.
// Usage: artgen <output folder>
#include "JpegWriter.h"
#include "Models.h"
#include "ObjWriter.h"
#include "Textures.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

namespace {

constexpr int kJpegQuality = 90;

struct ModelArt {
    const char* name;    // folder and file stem, as the game names the model ("cube" for cube/cube)
    float uvScale;       // the factor the game multiplies the texture coordinates by
    std::function<Mesh()> mesh;
    std::function<MaterialTextures()> textures;
};

bool writeModel(const std::filesystem::path& root, const ModelArt& art)
{
    const std::filesystem::path folder = root / art.name;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string stem = (folder / art.name).string();
    const MaterialTextures textures = art.textures();
    return writeObj(stem + ".obj", art.name, art.mesh(), art.uvScale) &&
           writeJpeg(stem + "_diff.jpg", textures.colour, kJpegQuality, Chroma::Subsampled) &&
           writeJpeg(stem + "_norm.jpg", textures.normal, kJpegQuality, Chroma::Full);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: artgen <output folder>\n";
        return 2;
    }
    const ModelArt models[] = {
        {"cube", 2.0f, cubeMesh, stoneTextures},         {"hero", 4.0f, heroMesh, heroTextures},
        {"flame", 1.0f, flameMesh, flameTextures},       {"propeller", 4.0f, propellerMesh, propellerTextures},
        {"bar", 1.0f, barMesh, barTextures},             {"plane", 1.0f, planeMesh, planeTextures},
    };
    for (const ModelArt& art : models) {
        if (!writeModel(argv[1], art)) {
            std::cerr << "artgen: could not write the " << art.name << " model into " << argv[1] << '\n';
            return 1;
        }
    }
    return 0;
}
