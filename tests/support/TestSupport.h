#pragma once
// What the tests share: console capture, scratch folders, and a real Game without a window,
// driven the way the frame loop and a player drive it (key events through the key callback,
// then Game::update with a fixed game-time step).
#include "game/Game.h"
#include "game/InputState.h"
#include "game/Keys.h"
#include "scene/Hero.h"

#include "TestPlatform.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

template <class Action>
std::string printedBy(Action&& action)
{
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The rows as a file's text, each ended by a line feed.
inline std::string lines(std::initializer_list<std::string> rows)
{
    std::string text;
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

// A fresh folder under the system temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() { std::filesystem::create_directories(path_); }
    // Windows cannot delete a file still open, such as music the sound device streams on after
    // a test: that folder stays behind in the temporary folder.
    ~TempFolder()
    {
        std::error_code stillOpen;
        std::filesystem::remove_all(path_, stillOpen);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    static inline int made_ = 0;
    // Wine hands out small process ids again soon, and a test process that ended early leaves
    // its folders behind: a random part keeps a new folder from landing on an old one.
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("tindral-test-" + std::to_string(test_platform::processId()) + "-" +
                                   std::to_string(++made_) + "-" + std::to_string(std::random_device{}()));
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

// A FIFO where a data file should be. Opening a FIFO for reading waits for a writer, so a
// reader that should have refused it would hang the test: a watcher keeps offering a writer's
// end, which succeeds only while a reader has the FIFO open or waits for it. It then records
// that the FIFO was opened and closes its end at once, which gives the reader an empty file.
// On a system without FIFOs nothing is made, and the path stays a missing file.
class WatchedFifo {
public:
    explicit WatchedFifo(std::filesystem::path path) : path_(std::move(path))
    {
        if (!test_platform::hasFifos())
            return;
        std::filesystem::create_directories(path_.parent_path());
        made_ = test_platform::makeFifo(path_);
        EXPECT_TRUE(made_) << "cannot make a FIFO at " << path_;
        watcher_ = std::thread([this] { watch(); });
    }
    ~WatchedFifo()
    {
        stop_ = true;
        if (watcher_.joinable())
            watcher_.join();
        std::error_code ignored;
        if (made_)
            std::filesystem::remove(path_, ignored);
    }
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    std::string path() const { return path_.string(); }
    bool opened() const { return opened_; }

private:
    void watch()
    {
        while (!stop_) {
            if (test_platform::offerFifoWriter(path_))
                opened_ = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::filesystem::path path_;
    bool made_ = false;
    std::atomic<bool> opened_{false};
    std::atomic<bool> stop_{false};
    std::thread watcher_;
};

inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string readText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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

// One frame at 60 Hz at the default difficulty 2 (game time runs 1.5 times real time).
constexpr double gameStep = 1.5 / 60.0;

// A key event as the window's key callback records it.
inline void keyEvent(int key, int action)
{
    recordKey(inputState(), debugSwitches(), key, action);
}
inline void pressKey(int key)
{
    keyEvent(key, KeyAction::Press);
}
inline void releaseKey(int key)
{
    keyEvent(key, KeyAction::Release);
}
// Pressed and released, as a player strikes a key.
inline void strikeKey(int key)
{
    pressKey(key);
    releaseKey(key);
}

inline std::filesystem::path testDataDir()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data";
}

// Ten flat rows of height 1, the hero starting in the middle of row 2.
const char* const flatLevel = "1x1x1x1x1x\n1x1x1x1x1x\n1x1S1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n"
                              "1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n";

// A game built the way the frame loop builds it, from a level folder of its own that starts
// with the shipped levels (every test's working directory is the run folder).
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy("Tindral/Levels", levels_.path(), std::filesystem::copy_options::recursive);
        newGame();
    }

    void TearDown() override
    {
        game.reset();
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
    }

    // Returns what the game printed while it was set up.
    std::string newGame()
    {
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
        game.reset();
        GameOptions options;
        options.music = false; // the sound manager's own tests listen to what plays
        options.soundfx = false;
        options.levelFolder = levels_.path().string() + "/";
        heard.clear();
        options.hearSounds = [this](const std::vector<SoundRequest>& requests) {
            heard.insert(heard.end(), requests.begin(), requests.end());
        };
        return printedBy([&] { game = std::make_unique<Game>(options); });
    }

    void frames(int count)
    {
        for (int i = 0; i < count && !game->finished(); ++i)
            game->update(gameStep);
    }

    // Builds a level from text through the real builder, from a file of the game's level folder.
    // Returns what it printed.
    std::string buildLevel(const std::string& text, int number = 99)
    {
        writeText(levels_.path() / (std::to_string(number) + ".lvl"), text);
        return printedBy([&] { game->loadLevel(number); });
    }

    // Sets up a scene: changes what a frame changes, through the game's own save and restore.
    template <class Change>
    void change(Change&& changeIt)
    {
        LevelState scene = game->state();
        changeIt(scene);
        game->restore(scene);
    }

    // The flame in the middle of the hero's safe band, or where a test wants it.
    void placeFlame(glm::vec3 offsetFromHero = glm::vec3(0.0f, 1.0f, 3.0f))
    {
        change([&](LevelState& scene) { scene.flame.position = scene.hero.position + offsetFromHero; });
    }

    const std::filesystem::path& levelFolder() const { return levels_.path(); }

    // Lets the hero, placed 0.05 above its start cell, settle onto it.
    void settle() { frames(4); }

    std::unique_ptr<Game> game;
    std::vector<SoundRequest> heard; // what the game asked to be heard, in order

private:
    TempFolder levels_;
};
