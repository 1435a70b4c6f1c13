#pragma once
// A real Game in a real GL context, driven the way the frame loop and a player drive it:
// key events through onKey, then Game::update with a fixed game-time step.
#include "GlContext.h"

#include "app/DebugSwitches.h"
#include "app/Window.h"
#include "game/Game.h"
#include "game/InputState.h"
#include "scene/Hero.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

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
inline void repeatKey(int key) { onKey(nullptr, key, 0, GLFW_REPEAT, 0); }

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
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
        testing::internal::CaptureStdout();
        game = std::make_unique<Game>(800, 600, gameWindow());
        testing::internal::GetCapturedStdout();
    }

    void TearDown() override
    {
        game.reset();
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
        GlTest::TearDown();
    }

    void frames(int count)
    {
        for (int i = 0; i < count && !game->finished; ++i)
            game->update(gameStep);
    }

    // Builds a level from text through the real builder: the text is written as a numbered
    // level file for the moment of the build, as the builder only reads levels by number.
    void buildLevel(const std::string& text, int number = scratchLevelNumber())
    {
        const std::filesystem::path file = "Tindral/Levels/" + std::to_string(number) + ".lvl";
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        game->currentLevel = number;
        testing::internal::CaptureStdout();
        game->loadLevel();
        testing::internal::GetCapturedStdout();
        std::filesystem::remove(file);
    }

    void buildLevelFile(const std::filesystem::path& source, int number = scratchLevelNumber())
    {
        std::ifstream in(source, std::ios::binary);
        ASSERT_TRUE(in.is_open()) << source;
        buildLevel(std::string(std::istreambuf_iterator<char>(in), {}), number);
    }

    // Lets the hero, placed 0.05 above its start cell, settle onto it.
    void settle() { frames(4); }

    std::unique_ptr<Game> game;
};
