#pragma once
// What the GL tests share: console capture, scratch files laid out like the game's data
// folder, pixel read-back, and a real Game driven the way the frame loop and a player drive
// it (key events through onKey, then Game::update with a fixed game-time step).
#include "GlContext.h"

#include "app/DebugSwitches.h"
#include "app/Window.h"
#include "game/Game.h"
#include "game/InputState.h"
#include "scene/Hero.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// What an action prints on the standard output.
template <class Action>
std::string printedBy(Action&& action)
{
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

// A fresh folder under the system temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() { std::filesystem::create_directories(path_); }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    static inline int made_ = 0;
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("tindral-test-" + std::to_string(getpid()) + "-" + std::to_string(++made_));
};

// Runs a scope with another working directory; the game reads its data relative to it.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder) { std::filesystem::current_path(folder); }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    const std::filesystem::path previous_ = std::filesystem::current_path();
};

inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// A cube from -0.5 to 0.5 with outward normals and a full 0..1 uv square on every face.
inline std::string cubeObj()
{
    return "o Cube\n"
           "v -0.5 -0.5 0.5\nv 0.5 -0.5 0.5\nv 0.5 0.5 0.5\nv -0.5 0.5 0.5\n"
           "v -0.5 -0.5 -0.5\nv 0.5 -0.5 -0.5\nv 0.5 0.5 -0.5\nv -0.5 0.5 -0.5\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
           "vn 0 0 1\nvn 0 0 -1\nvn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\n"
           "f 1/1/1 2/2/1 3/3/1 4/4/1\nf 6/1/2 5/2/2 8/3/2 7/4/2\nf 2/1/3 6/2/3 7/3/3 3/4/3\n"
           "f 5/1/4 1/2/4 4/3/4 8/4/4\nf 4/1/5 3/2/5 7/3/5 8/4/5\nf 5/1/6 6/2/6 2/3/6 1/4/6\n";
}

// A square from -1 to 1 in x and y at z = 0, facing +z, uvs 0..1.
inline std::string quadObj()
{
    return "o Quad\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
           "f 1/1/1 2/2/1 3/3/1 4/4/1\n";
}

// Writes "Tindral/3DModels/<name>.obj" under root, with the game's stone textures beside it
// (copied from the run folder, every test's working directory).
inline void writeModel(const std::filesystem::path& root, const std::string& name, const std::string& obj)
{
    const std::string base = (root / "Tindral" / "3DModels" / name).string();
    writeText(base + ".obj", obj);
    std::filesystem::copy_file("Tindral/3DModels/cube/cube_diff.jpg", base + "_diff.jpg");
    std::filesystem::copy_file("Tindral/3DModels/cube/cube_norm.jpg", base + "_norm.jpg");
}

inline GLint glInteger(GLenum what)
{
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

// A parameter of a 2D texture, or of its level 0 with `ofLevel0`.
inline GLint textureParameter(GLuint texture, GLenum parameter, bool ofLevel0 = false)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (ofLevel0)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// The RGBA pixels of a framebuffer, rows bottom to top as GL reads them.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    const unsigned char* at(int x, int y) const { return &rgba[4 * (static_cast<size_t>(y) * width + x)]; }
    int brightness(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
    int litCount() const
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += brightness(x, y) > 2;
        return count;
    }
};

inline Image readImage(GLuint framebuffer, int width, int height)
{
    Image image{width, height, std::vector<unsigned char>(4 * static_cast<size_t>(width) * height)};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return image;
}

// One frame at 60 Hz at the default difficulty 2 (game time runs 1.5 times real time).
constexpr double gameStep = 1.5 / 60.0;

// The Game needs a Window for its key callback. Its GL work runs in the shared test context,
// so that programs and buffers live in the same context as every other GL test's.
inline Window& gameWindow()
{
    static Window* window = [] {
        GLFWwindow* shared = testGlWindow(); // glfwInit, then glewInit with glewExperimental
        auto* created = new Window(800, 600, 0, false);
        glfwMakeContextCurrent(shared);
        return created;
    }();
    return *window;
}

inline void pressKey(int key) { onKey(nullptr, key, 0, GLFW_PRESS, 0); }
inline void releaseKey(int key) { onKey(nullptr, key, 0, GLFW_RELEASE, 0); }

// A level number no real level uses and no other test process writes at the same time.
inline int scratchLevelNumber(int offset = 0)
{
    return 10000 + static_cast<int>(getpid() % 100000) * 4 + offset;
}

// Folder of the test data (level plans and test levels), beside this file.
inline std::filesystem::path testDataDir()
{
    return std::filesystem::path(__FILE__).parent_path() / "data";
}

class GameTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        gameWindow();
        newGame();
    }

    void TearDown() override
    {
        game.reset();
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        GlTest::TearDown();
    }

    void newGame(int width = 800, int height = 600)
    {
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
        game.reset();
        printedBy([&] { game = std::make_unique<Game>(width, height, gameWindow()); });
    }

    void frames(int count)
    {
        for (int i = 0; i < count && !game->finished; ++i)
            game->update(gameStep);
    }

    // Builds a level from text through the real builder, which reads levels by number only:
    // the text is a numbered level file for the moment of the build. Returns what it printed.
    std::string buildLevel(const std::string& text, int number = scratchLevelNumber())
    {
        const std::filesystem::path file = "Tindral/Levels/" + std::to_string(number) + ".lvl";
        writeText(file, text);
        game->currentLevel = number;
        const std::string printed = printedBy([&] { game->loadLevel(); });
        std::filesystem::remove(file);
        return printed;
    }

    void buildLevelFile(const std::filesystem::path& source)
    {
        std::ifstream in(source, std::ios::binary);
        ASSERT_TRUE(in.is_open()) << source;
        buildLevel(std::string(std::istreambuf_iterator<char>(in), {}));
    }

    // Lets the hero, placed 0.05 above its start cell, settle onto it.
    void settle() { frames(4); }

    std::unique_ptr<Game> game;
};
