#pragma once
// A player that finishes a level by plan, with nothing but key events: it steers the hero
// to the plan's points, keeps it in the safe band ahead of the flame like a human watching
// the light, jumps where the plan says and starts the plan over after a death. The tests,
// the benchmark and the level tool play levels with it.
#include <functional>
#include <istream>
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
// Everything after a "#" is a comment.
struct PlanStep {
    enum class Kind { Walk, Run, Jump, Wait };
    Kind kind = Kind::Walk;
    float x = 0.0f, d = 0.0f, gap = 0.0f;
    std::string text; // the plan line, for messages
};

struct Plan {
    std::vector<PlanStep> steps;
    std::vector<std::string> errors; // "line N: cannot read ..." for every line that was skipped
};

Plan readPlan(std::istream& in);
// The plan in a file; an error names a file that cannot be opened.
Plan readPlanFile(const std::string& path);

struct PlayResult {
    bool won = false;      // the finish was reached (the next level was built or the game won)
    bool gameOver = false; // the game ended without that
    int deaths = 0;
    double seconds = 0.0;   // game time played
    float peakMeter = 0.0f; // the fullest either meter got (1 is death)
    std::string lastStep;   // the plan line being played at the end

    std::string describe() const;
};

class PlanPlayer {
public:
    // Keys go into the game's own input, as its key callback would record them; `step` is the
    // game time of one frame.
    PlanPlayer(Game& game, double step);

    // Plays the current level until its finish, the end of the game, the end of the plan,
    // or the time limit (game seconds). Each frame the plan's keys are recorded, then
    // `runFrame` runs the frame: Game::update with the step unless a caller (one that also
    // draws, say) runs it itself.
    PlayResult play(const std::vector<PlanStep>& plan, double timeLimit, const std::function<void()>& runFrame = {});

    // After a death the player starts the plan over (a human would); a search that plays a
    // few steps at a time from saved states wants to stop at the first death instead.
    bool retryAfterDeath = true;
    // Ends the play after the frame being run (a caller out of frames, say).
    void stop() { stopped_ = true; }
    // Whether a walk is pausing for the flame to catch up; it carries over to the next step.
    bool resting() const { return resting_; }

private:
    struct Intent {
        bool left = false, right = false, forward = false, back = false;
        bool jump = false;
        bool done = false;
    };

    float flameGap() const;
    Intent steerTo(float x, float d, float tolerance) const;
    Intent decide(const PlanStep& step);
    void sendKeys(const Intent& intent);
    void key(int code, int action);

    Game& game_;
    double step_;
    float groundTolerance_;
    float airTolerance_;
    Intent held_;
    bool resting_ = false; // pausing to let the flame catch up
    bool jumped_ = false;  // the current jump step has taken off
    int airborneFrames_ = 0;
    bool spaceDown_ = false;
    bool stopped_ = false;
};
