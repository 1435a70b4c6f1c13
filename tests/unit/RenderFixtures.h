#pragma once
// Small files written on the fly for the rendering tests: a scratch folder laid out like the
// game's data folder, .obj models, and images in the formats the texture loader reads.
#include <GL/glew.h>
#include <IL/il.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fixtures {

// A fresh folder under the system temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tindral-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs a scope with another working directory; the game reads its data relative to it.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder) : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// Uncompressed 24- or 32-bit TGA, rows bottom to top, pixels given as RGB(A) in that row order.
inline void writeTga(const std::filesystem::path& file, int width, int height, int channels,
                     const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> bytes(18, 0);
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<unsigned char>(width & 0xFF);
    bytes[13] = static_cast<unsigned char>(width >> 8);
    bytes[14] = static_cast<unsigned char>(height & 0xFF);
    bytes[15] = static_cast<unsigned char>(height >> 8);
    bytes[16] = static_cast<unsigned char>(8 * channels);
    bytes[17] = channels == 4 ? 8 : 0; // alpha bits; origin bottom left
    for (size_t i = 0; i + channels <= rgba.size(); i += channels) {
        bytes.push_back(rgba[i + 2]);
        bytes.push_back(rgba[i + 1]);
        bytes.push_back(rgba[i]);
        if (channels == 4)
            bytes.push_back(rgba[i + 3]);
    }
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

// A JPEG of one colour, written through the image library the game loads with.
inline bool writeJpeg(const std::filesystem::path& file, int width, int height, unsigned char r, unsigned char g,
                      unsigned char b)
{
    std::filesystem::create_directories(file.parent_path());
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {r, g, b});
    ilTexImage(static_cast<ILuint>(width), static_cast<ILuint>(height), 1, 3, IL_RGB, IL_UNSIGNED_BYTE, pixels.data());
    ilEnable(IL_FILE_OVERWRITE);
    const bool saved = ilSave(IL_JPG, file.string().c_str()) == IL_TRUE;
    ilBindImage(0);
    ilDeleteImages(1, &image);
    while (ilGetError() != IL_NO_ERROR) {
    }
    return saved;
}

// A cube from -0.5 to 0.5 with outward normals and a full 0..1 uv square on every face.
inline std::string cubeObj()
{
    return "o Cube\n"
           "v -0.5 -0.5 0.5\nv 0.5 -0.5 0.5\nv 0.5 0.5 0.5\nv -0.5 0.5 0.5\n"
           "v -0.5 -0.5 -0.5\nv 0.5 -0.5 -0.5\nv 0.5 0.5 -0.5\nv -0.5 0.5 -0.5\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
           "vn 0 0 1\nvn 0 0 -1\nvn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\n"
           "f 1/1/1 2/2/1 3/3/1 4/4/1\n"
           "f 6/1/2 5/2/2 8/3/2 7/4/2\n"
           "f 2/1/3 6/2/3 7/3/3 3/4/3\n"
           "f 5/1/4 1/2/4 4/3/4 8/4/4\n"
           "f 4/1/5 3/2/5 7/3/5 8/4/5\n"
           "f 5/1/6 6/2/6 2/3/6 1/4/6\n";
}

// A square from -1 to 1 in x and y at z = 0, facing +z, uvs 0..1.
inline std::string quadObj()
{
    return "o Quad\n"
           "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
           "vn 0 0 1\n"
           "f 1/1/1 2/2/1 3/3/1 4/4/1\n";
}

// Writes "Tindral/3DModels/<name>.obj" with its two textures under root: a light grey colour
// texture and a flat normal map.
inline void writeModel(const std::filesystem::path& root, const std::string& name, const std::string& obj)
{
    const std::filesystem::path base = root / "Tindral" / "3DModels" / name;
    writeText(base.string() + ".obj", obj);
    writeJpeg(base.string() + "_diff.jpg", 8, 8, 200, 200, 200);
    writeJpeg(base.string() + "_norm.jpg", 8, 8, 128, 128, 255);
}

// Writes what a framebuffer holds to $TINDRAL_TEST_IMAGES/<name>.ppm when that variable is set,
// for looking at a test's picture by eye; does nothing otherwise.
inline void saveImageIfAsked(const std::string& name, unsigned int framebuffer, int width, int height)
{
    const char* folder = std::getenv("TINDRAL_TEST_IMAGES");
    if (!folder)
        return;
    std::vector<unsigned char> pixels(static_cast<size_t>(3 * width * height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    std::ofstream file(std::filesystem::path(folder) / (name + ".ppm"), std::ios::binary);
    file << "P6\n" << width << " " << height << "\n255\n";
    for (int row = height - 1; row >= 0; --row) // GL rows run bottom to top
        file.write(reinterpret_cast<const char*>(pixels.data() + 3 * width * row), 3 * width);
}

} // namespace fixtures
