#pragma once
#include <cstddef>
#include <glm/glm.hpp>
#include <istream>
#include <optional>
#include <string_view>
#include <vector>

// One character the level reader counted: the value it saw (EOF at the end of the file, which
// counts as one last character), and where it lies in the file: the 1-based line and column an
// editor shows (a byte-order mark takes no column) and the byte offset from the file's start.
struct CountedChar {
    int value = 0;
    int line = 1;
    int column = 1;
    std::size_t offset = 0;
};

// A level file read into cells, before any object exists.
struct LevelLayout {
    std::vector<glm::vec3> cubes;      // plain cubes, file order
    std::vector<glm::vec3> invisCubes; // invisible cubes, file order
    std::vector<int> grid;             // height of every cell, five per row
    std::optional<glm::vec3> finish;   // the last "Z" cell, if any
    // For every "Z" cell, in file order, how many invisible cubes come before it in the file.
    std::vector<std::size_t> invisCubesBeforeEachFinish;
    glm::vec3 startPosition{0.0f};
    // Where the cells came from, for a level author: every character counted, in order (a
    // cell's height and letter are characters 2i and 2i + 1), the byte offset at which the
    // reading stopped, and whether it stopped at the character limit rather than the end.
    std::vector<CountedChar> chars;
    std::size_t readEnd = 0;
    bool cutOff = false;
};

// The most characters of a level file that count (skipped line feeds excluded).
constexpr int maxLevelCharacters = 1024;

// Some editors begin a UTF-8 file with these bytes. The level reader skips them at the very
// start of a file: no cell of the level is made of them.
constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

// Reads a level from the start of `in`.
LevelLayout parseLevel(std::istream& in);

// Index into a level grid of the cell holding world point (x, z).
int cellIndex(float x, float z);
// Height of a cell; any index outside the grid is an empty cell.
int cellHeight(const std::vector<int>& grid, int index);
