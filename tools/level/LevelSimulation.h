#pragma once
// One level played by the game's own rules, without a window, sound or console: a Game built
// from the level's layout, its state saved and restored, and the game time of a frame at a
// fixed frame rate and difficulty.
#include "game/Game.h"
#include "tools/level/LevelFile.h"
#include "tools/player/PlanPlayer.h"

#include <glm/glm.hpp>
#include <iosfwd>
#include <memory>
#include <vector>

// The game time of one frame at a steady frame rate, as the frame loop gives it.
double frameStep(int difficulty, int framesPerSecond);

// A stream that swallows everything: the console of a game nobody watches.
std::ostream& nullStream();

// Everything of a running level that its frames change and its rules read: the game's state
// and the keys this simulation holds down for it.
struct GameState {
    LevelState level;
    InputState input;
};

// Where the hero was at the end of a frame, for the picture.
struct PathPoint {
    glm::vec3 position;
    bool onGround;
    bool died = false; // the hero died in this frame (and is back at the start)
};

// One level, built from the file's layout, in a game of its own that prints nothing.
class LevelSimulation {
public:
    explicit LevelSimulation(const LevelFile& level);
    LevelSimulation(const LevelSimulation&) = delete;
    LevelSimulation& operator=(const LevelSimulation&) = delete;

    Game& game() { return *game_; }
    // The level number the level was built as; the game moves on from it on a win.
    static constexpr int levelNumber = 1;
    bool won() const { return game_->currentLevel() != levelNumber; }

    GameState save() const { return {game_->state(), input_}; }
    // Back to a saved state of this level (not after a win, which has built another level).
    void restore(const GameState& state)
    {
        input_ = state.input;
        game_->restore(state.level);
    }

private:
    InputState input_;
    DebugSwitches switches_;
    std::unique_ptr<Game> game_;
};

struct PlayedPlan {
    PlayResult result;
    std::vector<PathPoint> path; // one point a frame, from the start to the finish
};

// Plays a plan on a fresh game of the level, as the player test does (a death starts the
// plan over), and records the hero's way.
PlayedPlan playPlan(const LevelFile& level, const std::vector<PlanStep>& plan, double step, double timeLimit = 3600.0);
