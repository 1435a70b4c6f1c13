// artgen: writes the game's six models and their textures into <run data>/3DModels, the
// desktop icon as a square PNG, or the icon of the Windows executable.
// Usage: artgen <output folder>
//        artgen --icon <pixels> <png file>
//        artgen --windows-icon <ico file>
#include "assets/ModelKind.h"

#include "Icon.h"
#include "IconFile.h"
#include "JpegWriter.h"
#include "Models.h"
#include "ObjWriter.h"
#include "PngWriter.h"
#include "Textures.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

namespace {

constexpr int kJpegQuality = 90;

struct ModelArt {
    const ModelFiles& files; // its name (folder and file stem) and the game's uv scale
    std::function<Mesh()> mesh;
    std::function<MaterialTextures()> textures;
};

bool writeModel(const std::filesystem::path& root, const ModelArt& art)
{
    const std::filesystem::path folder = root / art.files.name;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string stem = (folder / art.files.name).string();
    const MaterialTextures textures = art.textures();
    return writeObj(stem + ".obj", art.files.name, art.mesh(), art.files.uvScale) &&
           writeJpeg(stem + "_diff.jpg", textures.colour, kJpegQuality, Chroma::Subsampled) &&
           writeJpeg(stem + "_norm.jpg", textures.normal, kJpegQuality, Chroma::Full);
}

int usage()
{
    std::cerr << "usage: artgen <output folder>\n       artgen --icon <pixels> <png file>\n"
                 "       artgen --windows-icon <ico file>\n";
    return 2;
}

int writeIcon(const char* pixelsArgument, const char* path)
{
    char* end = nullptr;
    const long pixels = std::strtol(pixelsArgument, &end, 10);
    if (*end != '\0' || pixels < 16 || pixels > 1024)
        return usage();
    if (!writePng(path, paintIcon(static_cast<int>(pixels)))) {
        std::cerr << "artgen: could not write the icon " << path << '\n';
        return 1;
    }
    return 0;
}

// The sizes Windows shows an executable's icon at, from lists to large tiles.
int writeExecutableIcon(const char* path)
{
    if (!writeWindowsIcon(path, {16, 24, 32, 48, 64, 128, 256})) {
        std::cerr << "artgen: could not write the icon " << path << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--icon") == 0)
        return writeIcon(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "--windows-icon") == 0)
        return writeExecutableIcon(argv[2]);
    if (argc != 2)
        return usage();
    const ModelArt models[] = {
        {cubeModel, cubeMesh, stoneTextures},   {heroModel, heroMesh, heroTextures},
        {flameModel, flameMesh, flameTextures}, {propellerModel, propellerMesh, propellerTextures},
        {barModel, barMesh, barTextures},       {planeModel, planeMesh, planeTextures},
    };
    for (const ModelArt& art : models) {
        if (!writeModel(argv[1], art)) {
            std::cerr << "artgen: could not write the " << art.files.name << " model into " << argv[1] << '\n';
            return 1;
        }
    }
    return 0;
}
