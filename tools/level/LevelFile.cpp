#include "tools/level/LevelFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

CellKind kindOf(int height, int letter)
{
    if (height == 0)
        return CellKind::Empty;
    switch (letter) {
    case 'S': return CellKind::Start;
    case 'Z': return CellKind::Finish;
    case '2': return CellKind::Invisible;
    default: return CellKind::Plain;
    }
}

} // namespace

LevelCell LevelFile::at(int row, int column) const
{
    const std::size_t index = static_cast<std::size_t>(row * 5 + column);
    if (row >= 0 && column >= 0 && column <= 4 && index < cells.size())
        return cells[index];
    LevelCell outside;
    outside.row = row;
    outside.column = column;
    return outside;
}

std::optional<LevelCell> LevelFile::lastOf(CellKind kind) const
{
    std::optional<LevelCell> found;
    for (const LevelCell& cell : cells)
        if (cell.kind == kind)
            found = cell;
    return found;
}

LevelFile levelFromText(const std::string& text, const std::string& path)
{
    LevelFile level;
    level.path = path;
    level.text = text;
    std::istringstream in(text);
    level.layout = parseLevel(in);
    if (text.compare(0, utf8ByteOrderMark.size(), utf8ByteOrderMark) == 0)
        level.byteOrderMark = utf8ByteOrderMark.size();
    const std::vector<CountedChar>& chars = level.layout.chars;
    for (std::size_t i = 0; i < level.layout.grid.size(); ++i) {
        LevelCell cell;
        cell.row = static_cast<int>(i / 5);
        cell.column = static_cast<int>(i % 5);
        cell.height = level.layout.grid[i];
        cell.heightChar = chars[2 * i];
        cell.letter = chars[2 * i + 1];
        cell.kind = kindOf(cell.height, cell.letter.value);
        level.cells.push_back(cell);
    }
    return level;
}

std::optional<LevelFile> readLevelFile(const std::string& path, std::string& error)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + " is a folder";
        return std::nullopt;
    }
    // A FIFO would keep the tool waiting for a writer, a device may never end.
    if (std::filesystem::exists(path, ignored) && !std::filesystem::is_regular_file(path, ignored)) {
        error = "cannot read " + path + ": not a regular file";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return levelFromText(text, path);
}

std::string cellName(int row, int column)
{
    return "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
}

std::string charName(int value)
{
    switch (value) {
    case EOF: return "the end of the file";
    case '\n': return "a line feed";
    case '\r': return "a carriage return";
    case ' ': return "a space";
    case '\t': return "a tab";
    default: break;
    }
    if (value >= 33 && value < 127)
        return std::string("'") + static_cast<char>(value) + "'";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "byte 0x%02X", value);
    return buffer;
}
