#include "tools/level/LevelFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace {

// The game's character rules (scene/LevelReader.cpp) over a string, from `start` on (past a
// byte-order mark), with positions: a carriage return right before a line feed is dropped,
// one line feed at a time is skipped, and a read at the end of the file (which also ends the
// reading) yields EOF.
class PositionedCharacters {
public:
    PositionedCharacters(const std::string& text, std::size_t start) : text_(text), index_(start) {}

    bool atEnd() const { return eof_; }
    std::size_t offset() const { return index_; }

    CountedChar next()
    {
        CountedChar c = raw();
        if (c.value == '\n')
            c = raw();
        return c;
    }

private:
    CountedChar raw()
    {
        CountedChar c{EOF, line_, column_, index_};
        if (index_ >= text_.size()) {
            eof_ = true;
            return c;
        }
        c.value = static_cast<unsigned char>(text_[index_++]);
        if (c.value == '\r') {
            if (index_ >= text_.size())
                eof_ = true; // the reader's peek at the end of the file ends it, too
            else if (text_[index_] == '\n')
                c.value = static_cast<unsigned char>(text_[index_++]);
        }
        if (c.value == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        return c;
    }

    const std::string& text_;
    std::size_t index_;
    int line_ = 1;
    int column_ = 1;
    bool eof_ = false;
};

int heightOf(int c)
{
    return (c >= '1' && c <= '5') ? c - '0' : 0;
}

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
    PositionedCharacters characters(level.text, level.byteOrderMark);
    CountedChar heightChar;
    for (int n = 0; !characters.atEnd() && n < maxLevelCharacters; ++n) {
        const CountedChar c = characters.next();
        level.chars.push_back(c);
        if (n % 2 == 0) {
            heightChar = c;
            continue;
        }
        LevelCell cell;
        cell.row = n / 10;
        cell.column = (n % 10) / 2;
        cell.height = heightOf(heightChar.value);
        cell.kind = kindOf(cell.height, c.value);
        cell.heightChar = heightChar;
        cell.letter = c;
        level.cells.push_back(cell);
    }
    level.readEnd = characters.offset();
    level.cutOff = !characters.atEnd();
    // Both passes follow the same rules; should the game's reader change, say so at once.
    bool same = level.cells.size() == level.layout.grid.size();
    for (std::size_t i = 0; same && i < level.cells.size(); ++i)
        same = level.cells[i].height == level.layout.grid[i];
    if (!same)
        throw std::logic_error("the level tool's reading of " + path +
                               " differs from the game's; "
                               "tools/level/LevelFile.cpp must follow scene/LevelReader.cpp");
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
