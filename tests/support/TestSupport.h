#pragma once
// What the tests share: console capture, scratch folders, and a real Game without a window,
// driven the way the frame loop and a player drive it (key events through the key callback,
// then Game::update with a fixed game-time step).
#include "game/Game.h"
#include "game/InputState.h"
#include "game/Keys.h"
#include "scene/Hero.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
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

// The lines of a text, without their line feeds.
inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
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

// A FIFO where a data file should be. Opening a FIFO for reading waits for a writer, so a
// reader that should have refused it would hang the test: a watcher keeps offering a writer's
// end, which succeeds only while a reader has the FIFO open or waits for it. It then records
// that the FIFO was opened and closes its end at once, which gives the reader an empty file.
class WatchedFifo {
public:
    explicit WatchedFifo(std::filesystem::path path) : path_(std::move(path))
    {
        std::filesystem::create_directories(path_.parent_path());
        made_ = mkfifo(path_.c_str(), 0600) == 0;
        EXPECT_TRUE(made_) << "cannot make a FIFO at " << path_;
        watcher_ = std::thread([this] { watch(); });
    }
    ~WatchedFifo()
    {
        stop_ = true;
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
            const int end = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (end >= 0) {
                opened_ = true;
                close(end);
            }
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

// One frame at 60 Hz at the default difficulty 2 (game time runs 1.5 times real time).
constexpr double gameStep = 1.5 / 60.0;

inline void pressKey(int key) { onKey(nullptr, key, 0, GLFW_PRESS, 0); }
inline void releaseKey(int key) { onKey(nullptr, key, 0, GLFW_RELEASE, 0); }

// Folder of the test data (level plans and test levels).
inline std::filesystem::path testDataDir()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data";
}

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

    // The models the game draws with; none here, where nothing draws.
    virtual ModelSource models() const { return ModelSource::Detached; }

    // Returns what the game printed while it was set up.
    std::string newGame()
    {
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
        game.reset();
        GameOptions options;
        options.music = false; // the sound manager's own tests listen to what plays
        options.soundfx = false;
        options.models = models();
        options.levelFolder = levels_.path().string() + "/";
        return printedBy([&] { game = std::make_unique<Game>(options); });
    }

    void frames(int count)
    {
        for (int i = 0; i < count && !game->finished; ++i)
            game->update(gameStep);
    }

    // Builds a level from text through the real builder, which reads levels by number only.
    // Returns what it printed.
    std::string buildLevel(const std::string& text, int number = 99)
    {
        writeText(levels_.path() / (std::to_string(number) + ".lvl"), text);
        game->currentLevel = number;
        return printedBy([&] { game->loadLevel(); });
    }

    void buildLevelFile(const std::filesystem::path& source) { buildLevel(readText(source)); }

    // The game's own level folder, a copy of the shipped levels.
    const std::filesystem::path& levelFolder() const { return levels_.path(); }

    // Lets the hero, placed 0.05 above its start cell, settle onto it.
    void settle() { frames(4); }

    std::unique_ptr<Game> game;

private:
    TempFolder levels_;
};
