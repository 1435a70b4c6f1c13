#pragma once
// A level file as its author wrote it and as the game reads it: the game's own reader gives
// the layout and where in the file every cell came from, so that a warning can name the line
// an author has to fix.
#include "scene/LevelReader.h"

#include <optional>
#include <string>
#include <vector>

// What a cell holds once the game has read it.
enum class CellKind { Empty, Plain, Start, Finish, Invisible };

struct LevelCell {
    int row = 0;    // 0-based, from the start end
    int column = 0; // 0-based, left to right as the hero runs
    int height = 0;
    CellKind kind = CellKind::Empty;
    CountedChar heightChar;
    CountedChar letter;
};

struct LevelFile {
    std::string path;
    std::string text;
    std::size_t byteOrderMark = 0; // bytes of a UTF-8 byte-order mark at its start; the game skips them
    LevelLayout layout;            // what the game builds
    std::vector<LevelCell> cells;  // one per grid cell, in reading order

    int rows() const { return static_cast<int>((cells.size() + 4) / 5); }
    // The cell at (row, column); an empty cell outside the level.
    LevelCell at(int row, int column) const;
    // The start and finish cells the game uses (the last "S" and "Z" on ground), if any.
    std::optional<LevelCell> start() const { return lastOf(CellKind::Start); }
    std::optional<LevelCell> finish() const { return lastOf(CellKind::Finish); }
    std::optional<LevelCell> lastOf(CellKind kind) const;
};

// Reads and classifies a file; on failure returns nothing and says why in `error`.
std::optional<LevelFile> readLevelFile(const std::string& path, std::string& error);
// The same for text already in memory (`path` only names it).
LevelFile levelFromText(const std::string& text, const std::string& path = "level");

// "row 12, column 3" (1-based, as authors count).
std::string cellName(int row, int column);
// How a character reads in a message: '7', 'line feed', 'end of file'.
std::string charName(int value);
