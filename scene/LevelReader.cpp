#include "scene/LevelReader.h"

#include <cmath>
#include <string>

namespace {

// Hands out a level file's characters as the level format sees them: a carriage return
// directly before a line feed is dropped, and one line feed at a time is skipped.
class LevelCharacters {
public:
    explicit LevelCharacters(std::istream& in) : in_(in) {}

    bool atEnd() const { return in_.eof(); }

    // At the end of the file this is the failed read (EOF), which counts as one last
    // character: neither a height digit nor a cell letter.
    int next()
    {
        int c = raw();
        if (c == '\n')
            c = raw();
        return c;
    }

private:
    // Looks ahead through the buffer: a peek at the end would mark the stream ended and
    // cost a file ending in a lone carriage return its last (empty) cell.
    int raw()
    {
        int c = in_.get();
        if (c == '\r' && in_.rdbuf()->sgetc() == '\n')
            c = in_.get();
        return c;
    }

    std::istream& in_;
};

// Counted as characters, the three bytes of the mark would shift every cell of the level.
void skipByteOrderMark(std::istream& in)
{
    const std::streampos start = in.tellg();
    if (start == std::streampos(-1))
        return;
    std::string head(utf8ByteOrderMark.size(), '\0');
    if (in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == utf8ByteOrderMark)
        return;
    in.clear();
    in.seekg(start);
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
    skipByteOrderMark(in);
    LevelCharacters characters(in);
    int height = 0;
    for (int n = 0; !characters.atEnd() && n < maxLevelCharacters; ++n) {
        const int c = characters.next();
        if (n % 2 == 0)
            height = heightOf(c);
        else
            placeCell(level, c, height, n / 10, (n % 10) / 2);
    }
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
