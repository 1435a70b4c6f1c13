#pragma once
// A player that finishes a level by plan, with nothing but key events: it steers the hero
// to the plan's points, keeps it in the safe band ahead of the flame like a human watching
// the light, jumps where the plan says and starts the plan over after a death.
#include <filesystem>
#include <string>
#include <vector>

class Game;

// One line of a level plan. Points are given as (x, d): x across the level, d the distance
// into it (the world's z is -d), so the centre of column c in row r is (c + 0.5, r + 0.5).
//   walk x d   walk there, pausing while the flame is far behind (it must catch up)
//   run x d    walk there without pausing (over invisible cubes, which break under a
//              hero that stands still)
//   jump x d   jump as soon as the hero stands inside the safe band, and steer there in
//              the air until it lands
//   wait g     stand until the flame is at most g units behind
struct PlanStep {
    enum class Kind { Walk, Run, Jump, Wait };
    Kind kind = Kind::Walk;
    float x = 0.0f;
    float d = 0.0f;
    float gap = 0.0f;
    std::string text; // the plan line, for messages
};

// Reads a plan; a line it cannot read fails the calling test and is skipped.
std::vector<PlanStep> readPlan(const std::filesystem::path& file);

struct PlayResult {
    bool won = false;      // the finish was reached (the next level was built or the game won)
    bool gameOver = false; // the game ended without that
    int deaths = 0;
    double seconds = 0.0;  // game time played
    float peakNear = 0.0f; // the fullest the meters got (1 is death)
    float peakFar = 0.0f;
    std::string lastStep;  // the plan line being played at the end

    std::string describe() const;
};

class LevelPlayer {
public:
    LevelPlayer(Game& game, double step);

    // Plays the current level until its finish, the end of the game, the end of the plan,
    // or the time limit (game seconds).
    PlayResult play(const std::vector<PlanStep>& plan, double timeLimit);

private:
    struct Intent {
        bool left = false, right = false, forward = false, back = false;
        bool jump = false;
        bool done = false;
    };

    Intent decide(const PlanStep& step);
    Intent steerTo(float x, float d, float tolerance) const;
    void sendKeys(const Intent& intent);
    void releaseAll();
    float flameGap() const;

    Game& game_;
    double step_;
    // Half a frame's step, so that the player stops on its point instead of hopping over it.
    float groundTolerance_;
    float airTolerance_;
    Intent held_;
    bool resting_ = false;   // pausing to let the flame catch up
    bool jumped_ = false;    // the current jump step has taken off
    int airborneFrames_ = 0;
    bool spaceDown_ = false;
};
