#pragma once
// `tindral-level solve`: a search for a plan that wins a level by the game's own rules.
//
// The search plays plans: from saved game states it tries short runs of plan steps (walk or
// run to a cell, wait for the flame and run, jump to a cell, from where the hero stands or
// from the edge of its cell) with the scripted player that the player test uses, each frame a
// real Game::update at the chosen frame rate. The steps that most shorten the way left to the
// finish are tried first; a step that kills the hero is dropped, and so is one that leads to
// a state already reached with meters no fuller. The first plan that reaches the finish is
// played once more on a fresh game, as the player test will play it, before it counts.
//
// A plan with room to spare is worth more than a quick one. The search first keeps both
// meters below a quarter all the way, then below a half, and plays every step at half and
// at 2.4 times the chosen frame rate too (30 and 144 for 60), and at the few frames a second
// of a heavily loaded machine (2, 3, 5 and 10): the rates the player test plays at. So the
// plan holds for a player less exact than the search and on a slower or faster machine. Only when no such plan exists does it accept any win at the chosen rate.
#include "tools/level/LevelFile.h"
#include "tools/level/LevelSimulation.h"
#include "tools/player/PlanPlayer.h"

#include <functional>
#include <string>
#include <vector>

struct SolveProgress {
    long tried = 0;      // runs of steps played
    long states = 0;     // different states reached
    int furthestRow = 0; // 1-based
    int rows = 0;
    double seconds = 0.0; // wall-clock time of the search so far
};

// One search: the room it keeps on the meters (1 is death), and whether every step must
// also work at the other frame rates (half and 2.4 times the chosen one, and a loaded machine's).
struct SearchPass {
    float meterLimit = 1.0f;
    bool otherRates = false;
};

struct SolveOptions {
    int difficulty = 2;
    int framesPerSecond = 60;
    long maxTried = 400000; // the budget: runs of steps played (about a minute on a slow machine)
    std::vector<SearchPass> passes{{0.25f, true}, {0.5f, true}, {1.0f, false}}; // the searches in turn
    std::function<void(const SolveProgress&)> progress;                         // a few times a second
};

struct SolveResult {
    enum class Outcome { Winnable, Exhausted, BudgetSpent, Unplayable };
    Outcome outcome = Outcome::Exhausted;
    std::string why;                // for Unplayable: what went wrong
    std::vector<std::string> lines; // the plan's lines, when winnable
    PlayedPlan played;              // the plan played on a fresh game
    SolveProgress search;           // the totals of all searches made
    SearchPass pass;                // the search that found the plan (or the last one made)
    std::vector<int> holdsAt;       // the frame rates the plan was played to a win at
};

SolveResult solveLevel(const LevelFile& level, const SolveOptions& options);
// The frame rates a pass plays at: the chosen one first.
std::vector<int> ratesOf(const SolveOptions& options, const SearchPass& pass);
// "2, 3, 5 and 10", slowest first.
std::string frameRateList(std::vector<int> rates);

// The plan as a file the player test reads: a comment head that says how to make it again
// (`out` is where it goes), then one step a line.
std::string planText(const LevelFile& level, const SolveOptions& options, const SolveResult& result,
                     const std::string& out);
