#include "scene/LevelReader.h"

#include <cmath>
#include <string>

namespace {

// Hands out a level file's characters as the level format sees them: a carriage return
// directly before a line feed is dropped, and one line feed at a time is skipped. It keeps
// count of where each lies in the file.
class LevelCharacters {
public:
    LevelCharacters(std::istream& in, std::size_t offset) : in_(in), offset_(offset) {}

    bool atEnd() const { return in_.eof(); }
    std::size_t offset() const { return offset_; }

    // At the end of the file this is the failed read (EOF), which counts as one last
    // character: neither a height digit nor a cell letter.
    CountedChar next()
    {
        CountedChar c = raw();
        if (c.value == '\n')
            c = raw();
        return c;
    }

private:
    // Looks ahead through the buffer: a peek at the end would mark the stream ended and
    // cost a file ending in a lone carriage return its last (empty) cell.
    CountedChar raw()
    {
        CountedChar c{in_.get(), line_, column_, offset_};
        if (c.value == EOF)
            return c;
        ++offset_;
        if (c.value == '\r' && in_.rdbuf()->sgetc() == '\n') {
            c.value = in_.get();
            ++offset_;
        }
        if (c.value == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        return c;
    }

    std::istream& in_;
    std::size_t offset_;
    int line_ = 1;
    int column_ = 1;
};

// Counted as characters, the three bytes of the mark would shift every cell of the level.
// Returns the bytes skipped.
std::size_t skipByteOrderMark(std::istream& in)
{
    const std::streampos start = in.tellg();
    if (start == std::streampos(-1))
        return 0;
    std::string head(utf8ByteOrderMark.size(), '\0');
    if (in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == utf8ByteOrderMark)
        return head.size();
    in.clear();
    in.seekg(start);
    return 0;
}

int heightOf(int c)
{
    return (c >= '1' && c <= '5') ? c - '0' : 0;
}

void placeCell(LevelLayout& level, int letter, int height, int row, int column)
{
    if (height >= 1) {
        const glm::vec3 cube(static_cast<float>(column), static_cast<float>(height), static_cast<float>(-row));
        if (letter == 'S')
            level.startPosition = glm::vec3(column + 0.5f, static_cast<float>(height), -row - 0.5f);
        if (letter == 'Z') {
            level.finish = cube;
            level.invisCubesBeforeEachFinish.push_back(level.invisCubes.size());
        }
        if (letter == '2')
            level.invisCubes.push_back(cube);
        else
            level.cubes.push_back(cube);
    }
    level.grid.push_back(height);
}

} // namespace

LevelLayout parseLevel(std::istream& in)
{
    LevelLayout level;
    LevelCharacters characters(in, skipByteOrderMark(in));
    int height = 0;
    for (int n = 0; !characters.atEnd() && n < maxLevelCharacters; ++n) {
        const CountedChar c = characters.next();
        level.chars.push_back(c);
        if (n % 2 == 0)
            height = heightOf(c.value);
        else
            placeCell(level, c.value, height, n / 10, (n % 10) / 2);
    }
    level.readEnd = characters.offset();
    level.cutOff = !characters.atEnd();
    return level;
}

int cellIndex(float x, float z)
{
    // Only the five columns x in [0, 5) from the level's front edge z = 0 onwards are cells.
    // Anything beside or before them would otherwise wrap into a neighbouring row's cell.
    constexpr float farthestRow = 1.0e6f;
    if (!(x >= 0.0f && x < 5.0f && z <= 0.0f && z > -farthestRow))
        return -1;
    return static_cast<int>(std::trunc(x)) - 5 * static_cast<int>(std::trunc(z));
}

int cellHeight(const std::vector<int>& grid, int index)
{
    if (index < 0 || index >= static_cast<int>(grid.size()))
        return 0;
    return grid[static_cast<std::size_t>(index)];
}
