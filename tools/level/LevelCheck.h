#pragma once
// `tindral-level check`: a top view of a level as the game reads it, and every warning an
// author needs before anyone plays it.
#include "tools/level/LevelFile.h"

#include <string>
#include <vector>

struct LevelWarning {
    std::string kind;  // a short tag, one per rule ("start", "row width", ...), for tests
    std::string where; // "line 7, row 7, column 2", or "" for the whole file
    std::string text;
};

struct CheckReport {
    std::vector<LevelWarning> warnings;
    std::vector<std::string> notes; // worth knowing, but harmless in the game
};

CheckReport checkLevel(const LevelFile& level);

// The rows from the start end down, one cell as height and mark, with row and column numbers
// and a legend.
std::string topView(const LevelFile& level);

// How far a jump carries, measured once with the game's own rules (a jump from the very edge
// of a cell at difficulty 2, 60 frames a second): the most cells it clears, by the height of
// the cell it comes down on against the one it took off from (+1 to -4).
int jumpClears(int heightChange);

// The rules of movement a check can afford, over a height grid (five cells a row): a step
// goes to a side neighbour at most one higher, any drop is fine; a jump goes to a cell at most
// one higher as far as it carries, over anything (the game has no walls, only ground under
// the hero). Invisible cubes count as ground. Nothing of the flame or of time.
// Every cell these moves reach from `start` (an index into the grid).
std::vector<bool> reachableCells(const std::vector<int>& grid, int start);
// The shortest way by these moves (rows plus columns crossed) from every cell to `goal`; -1
// where the goal cannot be reached.
std::vector<int> wayToGoal(const std::vector<int>& grid, int goal);
// What a jump can do, in words, for the warnings and the README.
std::string movementRules();
