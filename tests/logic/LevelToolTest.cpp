// tindral-level's library: the warnings of hand-made levels, how far a jump carries against
// what the solver can do, the solver's answers, and where the picture puts its marks.
#include "TestSupport.h"

#include "tools/level/LevelCheck.h"
#include "tools/level/LevelPicture.h"
#include "tools/level/LevelSolver.h"
#include "tools/player/PlanPlayer.h"

#include <set>
#include <sstream>

namespace {

std::multiset<std::string> warningKinds(const LevelFile& level)
{
    std::multiset<std::string> kinds;
    for (const LevelWarning& warning : checkLevel(level).warnings)
        kinds.insert(warning.kind);
    return kinds;
}

std::string lines(std::initializer_list<std::string> rows)
{
    std::string text;
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

std::string repeated(const std::string& row, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += row + "\n";
    return text;
}

const std::string flat = "1x1x1x1x1x";
const std::string start = "1x1x1S1x1x";
const std::string finish = "1x1x1Z1x1x";

LevelFile fromFile(const std::filesystem::path& path)
{
    std::string error;
    const auto level = readLevelFile(path.string(), error);
    EXPECT_TRUE(level) << error;
    return level ? *level : LevelFile{};
}

LevelFile shipped(int number)
{
    return fromFile("Tindral/Levels/" + std::to_string(number) + ".lvl");
}

SolveResult solve(const LevelFile& level, long maxTried = 400000)
{
    SolveOptions options;
    options.maxTried = maxTried;
    return solveLevel(level, options);
}

} // namespace

TEST(LevelCheck, TheShippedLevelsAndWellMadeOddFilesGiveNoWarning)
{
    for (int number = 1; number <= 3; ++number) {
        const LevelFile level = shipped(number);
        EXPECT_EQ(level.cells.size(), level.layout.grid.size());
        EXPECT_TRUE(warningKinds(level).empty()) << level.path;
        EXPECT_TRUE(checkLevel(level).notes.empty()) << level.path;
    }
    // Windows line ends read the same (a note says so); so does a last line without its last
    // letter, and a gap of two rows is jumped.
    const LevelFile crlf = levelFromText(flat + "\r\n" + start + "\r\n" + finish + "\r\n");
    EXPECT_TRUE(warningKinds(crlf).empty());
    EXPECT_EQ(checkLevel(crlf).notes.size(), 1u);
    EXPECT_TRUE(warningKinds(levelFromText(lines({flat, start, flat}) + "1x1x1Z1x1")).empty());
    EXPECT_TRUE(warningKinds(levelFromText(lines({flat, start, "0x0x0x0x0x", "0x0x0x0x0x", finish}))).empty());
}

TEST(LevelCheck, EachFaultGivesItsOwnWarningOnce)
{
    const std::string twoHigher = "3x3x3x3x3x";
    const struct {
        const char* fault;
        std::string text;
        const char* kind;
    } cases[] = {
        {"no start", lines({flat, flat, finish}), "start"},
        {"two starts", lines({"1S1x1x1x1x", start, finish}), "start"},
        {"a start on an empty cell", lines({"0S1x1x1x1x", start, finish}), "start"},
        {"no finish", lines({flat, start, flat}), "finish"},
        {"two finishes", lines({flat, start, finish, "1Z1x1x1x1x"}), "finish"},
        {"a height the game reads as 0", lines({flat, start, "1x7x1x1x1x", finish}), "height"},
        {"a lower-case s", lines({flat, start, "1s1x1x1x1x", finish}), "letter"},
        {"a short line", lines({flat, start, "1x1x1x1x", finish, flat}), "row width"},
        {"a blank line", lines({flat, start, finish, "", flat}), "row width"},
        {"a lone carriage return", lines({flat, start, finish, flat + "\r" + flat}), "carriage return"},
        {"more than 1024 characters", lines({flat, start, finish}) + repeated(flat, 100), "1024 characters"},
        {"a wall two higher", lines({flat, start, twoHigher, twoHigher, twoHigher, finish}), "finish unreachable"},
        {"a gap of three rows", lines({flat, start}) + repeated("0x0x0x0x0x", 3) + finish, "finish unreachable"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(warningKinds(levelFromText(c.text)), std::multiset<std::string>{c.kind}) << c.fault;

    // Past a misaligned line every cell reads wrong: one warning says why, and that the finish
    // the file holds is read as a height.
    const CheckReport shifted = checkLevel(levelFromText(lines({flat, start, "", flat, finish})));
    ASSERT_EQ(shifted.warnings.size(), 2u);
    EXPECT_EQ(shifted.warnings[0].where, "line 3");
    EXPECT_NE(shifted.warnings[1].text.find("reads it as a height"), std::string::npos);
}

// As some editors save a level: the tool reads it as the game does (its second reading would
// throw otherwise), a note says so, and every warning and position is where an editor shows
// it, the mark taking no column.
TEST(LevelCheck, AByteOrderMarkIsANoteAndMovesNothing)
{
    const std::string mark(utf8ByteOrderMark);
    const std::string level = lines({flat, start, finish});
    const LevelFile plain = levelFromText(level);
    const LevelFile marked = levelFromText(mark + level);
    EXPECT_EQ(marked.layout.grid, plain.layout.grid);
    EXPECT_EQ(topView(marked), topView(plain));
    EXPECT_TRUE(warningKinds(marked).empty());
    EXPECT_TRUE(checkLevel(plain).notes.empty());
    const std::vector<std::string> notes = checkLevel(marked).notes;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("byte-order mark"), std::string::npos) << notes[0];

    for (const std::string& faulty : {lines({"1x7x1x1x1x", start, finish}), lines({"1x1x1x1x", start, finish, flat}),
                                      lines({flat + "\r" + flat, start, finish}) + repeated(flat, 101)}) {
        SCOPED_TRACE(faulty.substr(0, 24));
        const LevelFile without = levelFromText(faulty);
        const LevelFile with = levelFromText(mark + faulty);
        ASSERT_EQ(with.cells.size(), without.cells.size());
        for (std::size_t i = 0; i < with.cells.size(); ++i) {
            EXPECT_EQ(with.cells[i].heightChar.line, without.cells[i].heightChar.line) << i;
            EXPECT_EQ(with.cells[i].heightChar.column, without.cells[i].heightChar.column) << i;
        }
        const CheckReport a = checkLevel(without);
        const CheckReport b = checkLevel(with);
        ASSERT_FALSE(a.warnings.empty());
        ASSERT_EQ(b.warnings.size(), a.warnings.size());
        for (std::size_t i = 0; i < a.warnings.size(); ++i) {
            EXPECT_EQ(b.warnings[i].kind, a.warnings[i].kind);
            EXPECT_EQ(b.warnings[i].where, a.warnings[i].where);
            EXPECT_EQ(b.warnings[i].text, a.warnings[i].text);
        }
    }
}

// A FIFO would keep the tool waiting for a writer: it cannot be read, like a missing file.
TEST(LevelFile, AFileThatIsNoRegularFileCannotBeRead)
{
    TempFolder folder;
    std::string error;
    WatchedFifo level(folder.path() / "fifo.lvl");
    EXPECT_FALSE(readLevelFile(level.path(), error));
    EXPECT_EQ(error, "cannot read " + level.path() + ": not a regular file");
    EXPECT_FALSE(level.opened());

    WatchedFifo plan(folder.path() / "fifo.plan");
    EXPECT_EQ(readPlanFile(plan.path()).errors, std::vector<std::string>{"cannot open " + plan.path()});
    EXPECT_FALSE(plan.opened());
}

TEST(LevelCheck, TheTopViewShowsTheLevelAsTheGameReadsIt)
{
    EXPECT_EQ(topView(levelFromText(lines({"1x1x1S1x1x", "0x2x0x5x0x", "1212121Z12"}))),
              "3 rows, start at row 1, column 3, finish at row 3, column 4\n\n"
              "   row   1  2  3  4  5\n"
              "     1   1  1  1S 1  1\n"
              "     2   .  2  .  5  .\n"
              "     3   1~ 1~ 1~ 1Z 1~\n\n"
              "  digit: height   S: start   Z: finish   ~: invisible cube (breaks away)   .: empty\n");
}

TEST(LevelCheck, AJumpCarriesAsFarAsTheSolverFindsItCan)
{
    // Gaps cleared, by the height landed on against the take-off: +1, as high, -1 ... -4.
    EXPECT_EQ((std::vector<int>{jumpClears(1), jumpClears(0), jumpClears(-1), jumpClears(-2), jumpClears(-3),
                                jumpClears(-4)}),
              (std::vector<int>{1, 2, 2, 3, 3, 4}));
    // The check and the solver agree at the edge of the reach: two rows of gap are jumped at
    // the same height, three are not, three are onto a cell two lower.
    const auto gap = [](int rows, char from, char to) {
        const auto row = [](char h, char mark) { return std::string{h, 'x', h, 'x', h, mark, h, 'x', h, 'x'}; };
        return levelFromText(lines({row(from, 'x'), row(from, 'S'), row(from, 'x')}) + repeated("0x0x0x0x0x", rows) +
                             lines({row(to, 'Z'), row(to, 'x')}));
    };
    EXPECT_EQ(solve(gap(2, '1', '1')).outcome, SolveResult::Outcome::Winnable);
    EXPECT_EQ(solve(gap(3, '1', '1')).outcome, SolveResult::Outcome::Exhausted);
    EXPECT_EQ(warningKinds(gap(3, '1', '1')), std::multiset<std::string>{"finish unreachable"});
    EXPECT_EQ(solve(gap(3, '3', '1')).outcome, SolveResult::Outcome::Winnable);
    EXPECT_TRUE(warningKinds(gap(3, '3', '1')).empty());
}

TEST(LevelSolver, FindsPlansThatHoldAndSaysWhyThereIsNone)
{
    const SolveResult climb = solve(fromFile(testDataDir() / "wall-one-higher.lvl"));
    ASSERT_EQ(climb.outcome, SolveResult::Outcome::Winnable);
    EXPECT_EQ(climb.holdsAt, (std::vector<int>{60, 30, 144, 2, 3, 5, 10})) << "a loaded machine's rates too";
    EXPECT_EQ(climb.played.result.deaths, 0);
    EXPECT_LT(climb.played.result.peakMeter, 0.25f);
    // What it writes reads back as the plan it played.
    const LevelFile wall = fromFile(testDataDir() / "wall-one-higher.lvl");
    std::istringstream written(planText(wall, SolveOptions{}, climb, "x.plan"));
    const Plan plan = readPlan(written);
    EXPECT_TRUE(plan.errors.empty());
    EXPECT_EQ(plan.steps.size(), climb.lines.size());
    EXPECT_TRUE(playPlan(wall, plan.steps, frameStep(2, 60)).result.won);

    EXPECT_EQ(solve(fromFile(testDataDir() / "wall-two-higher.lvl")).outcome, SolveResult::Outcome::Exhausted);
    EXPECT_EQ(solve(shipped(3), 5).outcome, SolveResult::Outcome::BudgetSpent);
}

TEST(LevelSolver, Level1WithoutItsFinishOrWithAWallTwoHigherFailsCheckAndSolve)
{
    std::string text = shipped(1).text;
    std::string noFinish = text;
    noFinish[noFinish.find('Z')] = 'x';
    EXPECT_EQ(warningKinds(levelFromText(noFinish)), std::multiset<std::string>{"finish"});
    EXPECT_EQ(solve(levelFromText(noFinish)).outcome, SolveResult::Outcome::Exhausted);

    // Rows 9 to 11 across the path (columns 2 to 4) two higher than the ground around them.
    std::string walled = text;
    for (int row = 8; row <= 10; ++row)
        for (int column = 1; column <= 3; ++column)
            walled[static_cast<std::size_t>(row * 11 + column * 2)] = '3';
    EXPECT_EQ(warningKinds(levelFromText(walled)), std::multiset<std::string>{"finish unreachable"});
    EXPECT_EQ(solve(levelFromText(walled)).outcome, SolveResult::Outcome::Exhausted);
}

TEST(LevelPicture, PutsCellsMarksAndTheWayWhereTheyBelongAndSavesThemAsPng)
{
    const LevelFile level = levelFromText(
        lines({"2x2x2x2x2x", "2x2x2S2x2x", "2x0x2x0x2x", "2222222222", "2x2x2x2x2x", "5x4x3x2x1x", "2x2x2Z2x2x"}));
    const SolveResult solved = solve(level);
    ASSERT_EQ(solved.outcome, SolveResult::Outcome::Winnable);
    const Picture picture = drawLevel(level, {}, "test");
    const PictureLayout at = pictureLayout();
    const auto corner = [&](int row, int column) { // clear of the height digit and of the way
        return picture.at(at.gridLeft + row * at.cell + at.cell - 4, at.gridTop + column * at.cell + at.cell - 4);
    };
    EXPECT_GE(picture.width(), at.gridLeft + 7 * at.cell);
    EXPECT_EQ(picture.at(at.centreX(1), at.centreY(2)), picture::start);
    EXPECT_EQ(picture.at(at.gridLeft + 6 * at.cell + 1, at.centreY(2)), picture::finish);
    EXPECT_EQ(picture.at(at.gridLeft + 3 * at.cell + 1, at.centreY(0)), picture::invisibleEdge);
    EXPECT_EQ(picture.at(at.centreX(2), at.centreY(1)), picture::empty);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(corner(5, column), picture::stone(5 - column)) << "column " << column + 1;
    // The hero's way lies under the line drawn for it, in the colour of a run on the ground or
    // of a flight. Points near a point of the other kind are left out: where the hero takes
    // off or lands, or stands before a jump, the two lines overlap.
    const std::vector<PathPoint>& path = solved.played.path;
    const Picture withWay = drawLevel(level, path, "test");
    const auto pixel = [&](const PathPoint& point) {
        return glm::vec2(at.pixelX(-point.position.z), at.pixelY(point.position.x));
    };
    int ground = 0, air = 0;
    for (const PathPoint& point : path) {
        bool alone = true;
        for (const PathPoint& other : path)
            alone = alone &&
                    (other.onGround == point.onGround || glm::distance(pixel(other), pixel(point)) > at.cell / 4.0f);
        if (!alone)
            continue;
        const Colour way = withWay.at(static_cast<int>(pixel(point).x), static_cast<int>(pixel(point).y));
        EXPECT_EQ(way, point.onGround ? picture::run : picture::jump) << point.position.x << ", " << point.position.z;
        (point.onGround ? ground : air) += 1;
    }
    EXPECT_GT(ground, 10);
    EXPECT_GT(air, 10);

    TempFolder folder;
    const std::string file = (folder.path() / "level.png").string();
    std::string error;
    ASSERT_TRUE(picture.savePng(file, error)) << error;
    const auto read = Picture::loadPng(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width(), picture.width());
    EXPECT_EQ(read->height(), picture.height());
    EXPECT_EQ(read->at(at.centreX(1), at.centreY(2)), picture::start);
    EXPECT_FALSE(picture.savePng((folder.path() / "no-folder" / "level.png").string(), error));
}
