#include "tools/level/LevelCheck.h"

#include "game/Keys.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "tools/level/LevelSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <queue>
#include <sstream>

namespace {

// A line of the file as an author sees it in an editor.
struct FileLine {
    int number = 1;
    std::size_t begin = 0;                // byte offset of its first character
    std::size_t end = 0;                  // byte offset of its line feed (or of the end of the file)
    std::vector<int> pieces;              // its lengths between lone carriage returns (one piece without any)
    std::vector<std::size_t> loneReturns; // offsets of carriage returns not right before a line feed
    bool crlf = false;                    // ends in a carriage return and a line feed
    bool newline = false;                 // ends in a line feed (the last line may not)

    bool blank() const { return loneReturns.empty() && pieces.back() == 0; }
};

// The lines from byte `start` on: a byte-order mark before it is no part of the first line.
std::vector<FileLine> fileLines(const std::string& text, std::size_t start)
{
    std::vector<FileLine> lines;
    FileLine line;
    line.begin = start;
    line.pieces.push_back(0);
    for (std::size_t i = start; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n') {
            if (text[i] != '\r') {
                ++line.pieces.back();
            } else if (!(i + 1 < text.size() && text[i + 1] == '\n')) {
                line.loneReturns.push_back(i);
                line.pieces.push_back(0);
            }
            continue;
        }
        line.end = i;
        line.newline = i < text.size();
        line.crlf = line.newline && i > line.begin && text[i - 1] == '\r';
        if (line.newline || i > line.begin)
            lines.push_back(line);
        const int next = line.number + 1;
        line = FileLine{};
        line.number = next;
        line.begin = i + 1;
        line.pieces.push_back(0);
    }
    return lines;
}

// The game's row of the first counted character that lies on a line, or -1.
int rowOfLine(const LevelFile& level, int lineNumber)
{
    for (std::size_t n = 0; n < level.layout.chars.size(); ++n)
        if (level.layout.chars[n].line == lineNumber && level.layout.chars[n].value != '\n')
            return static_cast<int>(n / 10);
    return -1;
}

std::string plural(int count, const std::string& one, const std::string& many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string listRows(const std::vector<LevelCell>& cells)
{
    std::string text;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += i + 1 == cells.size() ? " and " : ", ";
        text += cellName(cells[i].row, cells[i].column);
    }
    return text;
}

std::string where(const LevelCell& cell, const CountedChar& c)
{
    return "line " + std::to_string(c.line) + ", " + cellName(cell.row, cell.column);
}

class Checker {
public:
    explicit Checker(const LevelFile& level) : level_(level) {}

    CheckReport run()
    {
        byteOrderMark();
        lineEnds();
        lineWidths();
        characterLimit();
        heights();
        marks('S', CellKind::Start, "start");
        marks('Z', CellKind::Finish, "finish");
        reachability();
        return report_;
    }

private:
    void warn(const std::string& kind, const std::string& where, const std::string& text)
    {
        report_.warnings.push_back({kind, where, text});
    }

    // Cells after this byte offset are not where the author put them.
    void misaligned(std::size_t offset) { misaligned_ = std::min(misaligned_, offset); }

    void byteOrderMark()
    {
        if (level_.byteOrderMark > 0)
            report_.notes.push_back("the file starts with a UTF-8 byte-order mark (as some editors write one), "
                                    "which the game skips");
    }

    void lineEnds()
    {
        int crlf = 0;
        for (const FileLine& line : lines_) {
            crlf += line.crlf ? 1 : 0;
            if (line.loneReturns.empty() || line.begin >= level_.layout.readEnd)
                continue;
            warn("carriage return", "line " + std::to_string(line.number),
                 (line.loneReturns.size() == 1
                      ? std::string("a carriage return that no line feed follows: the game counts it")
                      : std::to_string(line.loneReturns.size()) +
                            " carriage returns that no line feed follows: the game counts each") +
                     " as a character, so every cell after it moves one character on (save the file with plain "
                     "line feeds)");
            misaligned(line.loneReturns.front());
        }
        if (crlf > 0)
            report_.notes.push_back(plural(crlf, "line ends", "lines end") +
                                    " in a carriage return and a line feed (Windows line ends); the game "
                                    "drops such a carriage return, so the level reads the same");
    }

    void lineWidths()
    {
        // Blank lines at the very end change nothing; only lines the game read count.
        std::size_t last = lines_.size();
        while (last > 0 && lines_[last - 1].blank())
            --last;
        for (std::size_t i = 0; i < last && lines_[i].begin < level_.layout.readEnd; ++i) {
            const FileLine& line = lines_[i];
            const std::string where = "line " + std::to_string(line.number);
            if (line.blank()) {
                warn("row width", where,
                     "a blank line: the game counts the second of two line feeds in a row as a character, "
                     "so every cell after it moves one character on");
                misaligned(line.begin);
                continue;
            }
            // The last line may lack its last letter: the end of the file counts as one. A
            // lone carriage return at the end of a line leaves an empty piece after it.
            const bool lastLine = !line.newline;
            int length = -1;
            for (std::size_t p = 0; p < line.pieces.size() && length < 0; ++p) {
                const int piece = line.pieces[p];
                const bool lastPiece = p + 1 == line.pieces.size();
                if (!(piece == 10 || (lastLine && lastPiece && piece == 9) || (lastPiece && p > 0 && piece == 0)))
                    length = piece;
            }
            if (length < 0)
                continue;
            const int row = rowOfLine(level_, line.number);
            const std::string rowText = row >= 0 ? " (row " + std::to_string(row + 1) + ")" : "";
            const int shift = length - 10;
            std::string text = plural(length, "character", "characters") + rowText +
                               ", not 10 (five cells of two): rows are counted by characters, not lines";
            if (lastLine) {
                text += ", so its row has " + std::to_string((length + 1) / 2) + " cells";
            } else {
                text += ", so every cell after it moves " + plural(std::abs(shift), "character", "characters") +
                        (shift > 0 ? " on" : " back");
                misaligned(line.end);
            }
            warn("row width", where, text);
        }
    }

    void characterLimit()
    {
        if (!level_.layout.cutOff)
            return;
        const std::string rest = level_.text.substr(level_.layout.readEnd);
        if (rest.find_first_not_of("\r\n") == std::string::npos)
            return;
        const CountedChar& lastRead = level_.layout.chars.back();
        const int ignored = static_cast<int>(rest.size() - std::count(rest.begin(), rest.end(), '\n'));
        warn("1024 characters", "line " + std::to_string(lastRead.line),
             "the game reads only the first " + std::to_string(maxLevelCharacters) +
                 " characters (102 rows and two cells of row 103); it ignores everything after line " +
                 std::to_string(lastRead.line) + ", column " + std::to_string(lastRead.column) + ": " +
                 plural(ignored, "character", "characters") + ", about " + std::to_string((ignored + 9) / 10) +
                 " rows");
    }

    void heights()
    {
        for (const LevelCell& cell : level_.cells) {
            // Past a misaligned line every cell reads wrong; that line's warning says why.
            if (cell.heightChar.offset > misaligned_)
                break;
            const int h = cell.heightChar.value;
            if (cell.height == 0 && h != '0' && h != '\n' && h != '\r' && h != EOF)
                warn("height", where(cell, cell.heightChar),
                     "height " + charName(h) + " reads as 0, an empty cell (heights are '1' to '5', '0' is a gap)");
            const int letter = cell.letter.value;
            if (cell.height > 0 && (letter == 's' || letter == 'z'))
                warn("letter", where(cell, cell.letter),
                     std::string("'") + static_cast<char>(letter) + "' makes a plain cube; the " +
                         (letter == 's' ? "start is an upper-case 'S'" : "finish is an upper-case 'Z'"));
        }
    }

    void marks(int letter, CellKind kind, const std::string& name)
    {
        std::vector<LevelCell> placed;
        for (const LevelCell& cell : level_.cells) {
            if (cell.letter.value != letter)
                continue;
            if (cell.kind == kind)
                placed.push_back(cell);
            else if (cell.height == 0)
                warn(name, where(cell, cell.letter),
                     std::string("'") + static_cast<char>(letter) + "' on an empty cell (height " +
                         charName(cell.heightChar.value) + "): the game ignores a " + name + " with no ground");
        }
        if (placed.empty()) {
            std::string text = kind == CellKind::Start
                                   ? "no start: with no 'S' on ground the hero starts at the level's corner (row 1, "
                                     "column 1) at height 0, inside or below the first cubes, and falls to its death"
                                   : "no finish: with no 'Z' on ground the level cannot be won";
            const std::size_t mark = level_.text.find(static_cast<char>(letter), misaligned_);
            if (misaligned_ != std::string::npos && mark != std::string::npos && mark < level_.layout.readEnd)
                text += std::string(" (there is a '") + static_cast<char>(letter) +
                        "' in the file, but past the misaligned line the game reads it as a height)";
            warn(name, "", text);
        } else if (placed.size() > 1) {
            const LevelCell& used = placed.back();
            warn(name, "",
                 std::to_string(placed.size()) + " " + name + (kind == CellKind::Finish ? "es" : "s") + ", at " +
                     listRows(placed) + ": the game uses the last, " + cellName(used.row, used.column) +
                     "; the others are plain cubes");
        }
    }

    void reachability()
    {
        const auto start = level_.start();
        const auto finish = level_.finish();
        if (!start || !finish)
            return;
        const std::vector<int>& grid = level_.layout.grid;
        const int startIndex = start->row * 5 + start->column;
        const int finishIndex = finish->row * 5 + finish->column;
        const std::vector<bool> reach = reachableCells(grid, startIndex);
        if (reach[static_cast<std::size_t>(finishIndex)])
            return;
        int furthest = start->row;
        for (std::size_t i = 0; i < reach.size(); ++i)
            if (reach[i])
                furthest = std::max(furthest, static_cast<int>(i / 5));
        warn("finish unreachable", "",
             "the finish (" + cellName(finish->row, finish->column) +
                 ") cannot be reached from the start: the hero gets no further than row " +
                 std::to_string(furthest + 1) + ". (" + movementRules() + ".)");
    }

    const LevelFile& level_;
    const std::vector<FileLine> lines_ = fileLines(level_.text, level_.byteOrderMark);
    std::size_t misaligned_ = std::string::npos;
    CheckReport report_;
};

bool isGround(const std::vector<int>& grid, int row, int column)
{
    return column >= 0 && column < 5 && row >= 0 && cellHeight(grid, row * 5 + column) > 0;
}

std::vector<int> movesFrom(const std::vector<int>& grid, int index)
{
    std::vector<int> moves;
    const int height = cellHeight(grid, index);
    if (height == 0)
        return moves;
    const int row = index / 5, column = index % 5;
    const int farthest = jumpClears(-4) + 1;
    for (int dr = -farthest; dr <= farthest; ++dr) {
        for (int dc = -4; dc <= 4; ++dc) {
            const int r = row + dr, c = column + dc;
            if ((dr == 0 && dc == 0) || !isGround(grid, r, c))
                continue;
            const int target = r * 5 + c;
            const int change = cellHeight(grid, target) - height;
            if (change > 1)
                continue;
            if (std::abs(dr) + std::abs(dc) == 1) {
                moves.push_back(target);
                continue;
            }
            if (std::max(std::abs(dr), std::abs(dc)) - 1 <= jumpClears(change))
                moves.push_back(target);
        }
    }
    return moves;
}

} // namespace

int jumpClears(int heightChange)
{
    static const std::vector<int> clears = [] {
        // A jump from the very edge of a high row, forward over nothing, until it falls to 0.
        const LevelFile runway = levelFromText("5x5x5x5x5x5x5x5S5x5x5x5x5x5x5x");
        LevelSimulation simulation(runway);
        Game& game = simulation.game();
        const double step = frameStep(2, 60);
        for (int i = 0; i < 10; ++i)
            game.update(step);
        const float edge = -3.0f, top = game.hero().position.y;
        LevelState atTheEdge = game.state();
        atTheEdge.hero.position.z = edge + 0.01f;
        atTheEdge.flame.position.z = atTheEdge.hero.position.z + 3.0f;
        game.restore(atTheEdge);
        recordKey(game.input(), game.switches(), Key::W, KeyAction::Press);
        recordKey(game.input(), game.switches(), Key::Space, KeyAction::Press);
        std::vector<std::pair<float, float>> flight; // (distance past the edge, height over the take-off)
        for (int i = 0; i < 2000 && game.hero().position.y > 0.0f && game.hero().lives == 4; ++i) {
            game.update(step);
            flight.push_back({edge - game.hero().position.z, game.hero().position.y - top});
        }
        // Coming down on a cell `change` higher needs the hero over it, still at or above its
        // top, in the frame before it sinks below.
        std::vector<int> result;
        for (int change = 1; change >= -5; --change) {
            float reach = 0.0f;
            for (std::size_t i = 1; i < flight.size(); ++i)
                if (flight[i].second < flight[i - 1].second && flight[i].second < static_cast<float>(change)) {
                    reach = flight[i - 1].first;
                    break;
                }
            result.push_back(std::max(static_cast<int>(std::ceil(reach)) - 1, 0));
        }
        return result;
    }();
    const int change = std::clamp(heightChange, -5, 1);
    return clears[static_cast<std::size_t>(1 - change)];
}

std::string movementRules()
{
    // "2 cells onto one as high or one lower", with the height changes a jump clears alike.
    static const char* const words[] = {"one higher", "as high", "one lower", "two lower", "three lower", "four lower"};
    std::vector<std::pair<int, std::vector<std::string>>> groups;
    for (int change = 1; change >= -4; --change) {
        const int clears = jumpClears(change);
        if (groups.empty() || groups.back().first != clears)
            groups.push_back({clears, {}});
        groups.back().second.push_back(words[1 - change]);
    }
    std::string jumps;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const auto& [clears, changes] = groups[g];
        std::string to;
        for (std::size_t i = 0; i < changes.size(); ++i) {
            std::string word = changes[i];
            // "two lower or three lower" reads "two or three lower".
            const std::string lower = " lower";
            if (i + 1 < changes.size() && word.size() > lower.size() && changes[i + 1].size() > lower.size() &&
                word.compare(word.size() - lower.size(), lower.size(), lower) == 0)
                word.erase(word.size() - lower.size());
            to += (i == 0 ? "" : " or ") + word;
        }
        jumps += (g == 0                   ? ""
                  : g + 1 == groups.size() ? " and "
                                           : ", ") +
                 (g == 0 ? plural(clears, "empty cell", "empty cells") + " onto a cell " + to
                         : std::to_string(clears) + " onto one " + to);
    }
    return "A step goes to a side neighbour at most one higher, any drop is fine. A jump flies over anything "
           "(the game has no walls) as far as it carries: " +
           jumps + ". Invisible cubes count as ground";
}

CheckReport checkLevel(const LevelFile& level)
{
    return Checker(level).run();
}

std::vector<bool> reachableCells(const std::vector<int>& grid, int start)
{
    std::vector<bool> reach(grid.size(), false);
    if (start < 0 || start >= static_cast<int>(grid.size()) || grid[static_cast<std::size_t>(start)] == 0)
        return reach;
    std::vector<int> todo{start};
    reach[static_cast<std::size_t>(start)] = true;
    while (!todo.empty()) {
        const int index = todo.back();
        todo.pop_back();
        for (int next : movesFrom(grid, index)) {
            if (!reach[static_cast<std::size_t>(next)]) {
                reach[static_cast<std::size_t>(next)] = true;
                todo.push_back(next);
            }
        }
    }
    return reach;
}

std::vector<int> wayToGoal(const std::vector<int>& grid, int goal)
{
    const int count = static_cast<int>(grid.size());
    std::vector<std::vector<std::pair<int, int>>> into(grid.size()); // into[b]: (a, cost) with a move a -> b
    for (int a = 0; a < count; ++a)
        for (int b : movesFrom(grid, a)) {
            const int cost = std::abs(b / 5 - a / 5) + std::abs(b % 5 - a % 5);
            into[static_cast<std::size_t>(b)].push_back({a, cost});
        }
    std::vector<int> way(grid.size(), -1);
    if (goal < 0 || goal >= count)
        return way;
    using Entry = std::pair<int, int>; // (way, cell)
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    way[static_cast<std::size_t>(goal)] = 0;
    open.push({0, goal});
    while (!open.empty()) {
        const auto [length, cell] = open.top();
        open.pop();
        if (length > way[static_cast<std::size_t>(cell)])
            continue;
        for (const auto& [from, cost] : into[static_cast<std::size_t>(cell)]) {
            int& known = way[static_cast<std::size_t>(from)];
            if (known < 0 || length + cost < known) {
                known = length + cost;
                open.push({known, from});
            }
        }
    }
    return way;
}

std::string topView(const LevelFile& level)
{
    std::ostringstream out;
    const auto start = level.start();
    const auto finish = level.finish();
    out << plural(level.rows(), "row", "rows") << ", ";
    out << (start ? "start at " + cellName(start->row, start->column) : std::string("no start")) << ", ";
    out << (finish ? "finish at " + cellName(finish->row, finish->column) : std::string("no finish")) << "\n\n";
    out << "   row   1  2  3  4  5\n";
    for (int row = 0; row < level.rows(); ++row) {
        char label[16];
        std::snprintf(label, sizeof label, "%6d  ", row + 1);
        out << label;
        for (int column = 0; column < 5; ++column) {
            const LevelCell cell = level.at(row, column);
            char mark = ' ';
            switch (cell.kind) {
            case CellKind::Start: mark = start && start->row == row && start->column == column ? 'S' : ' '; break;
            case CellKind::Finish: mark = finish && finish->row == row && finish->column == column ? 'Z' : ' '; break;
            case CellKind::Invisible: mark = '~'; break;
            default: break;
            }
            std::string text{' ', cell.height > 0 ? static_cast<char>('0' + cell.height) : '.', mark};
            if (column == 4 && mark == ' ')
                text.pop_back();
            out << text;
        }
        out << "\n";
    }
    out << "\n  digit: height   S: start   Z: finish   ~: invisible cube (breaks away)   .: empty\n";
    return out.str();
}
