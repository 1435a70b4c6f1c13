// tindral-level's library: the warnings of hand-made levels, how far a jump carries against
// what the solver can do and the solver's answers.
#include "TestSupport.h"

#include "tools/level/LevelCheck.h"
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

// Every warning of a level's text, kind, place and words, one a line.
std::string warningsOf(const std::string& text)
{
    std::string said;
    for (const LevelWarning& warning : checkLevel(levelFromText(text)).warnings)
        said += warning.kind + " | " + warning.where + " | " + warning.text + "\n";
    return said;
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

} // namespace

// Each fault gives its own warning once; a well-made file, shipped or odd, gives none. Saved
// with a byte-order mark, as some editors save it, a file gives the same warnings, at the lines
// and columns an editor shows.
TEST(LevelCheck, EachFaultGivesItsOwnWarningOnceAndAWellMadeFileNone)
{
    for (int number = 1; number <= 3; ++number) {
        const CheckReport report = checkLevel(fromFile("Tindral/Levels/" + std::to_string(number) + ".lvl"));
        EXPECT_TRUE(report.warnings.empty() && report.notes.empty()) << number;
    }
    EXPECT_EQ(checkLevel(levelFromText(flat + "\r\n" + start + "\r\n" + finish + "\r\n")).notes.size(), 1u)
        << "Windows line ends read the same; a note says so";
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
        {"Windows line ends", flat + "\r\n" + start + "\r\n" + finish + "\r\n", nullptr},
        {"a last line without its last letter", lines({flat, start, flat}) + "1x1x1Z1x1", nullptr},
        {"a gap of two rows", lines({flat, start, "0x0x0x0x0x", "0x0x0x0x0x", finish}), nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(warningKinds(levelFromText(c.text)),
                  c.kind ? std::multiset<std::string>{c.kind} : std::multiset<std::string>{})
            << c.fault;
        EXPECT_EQ(warningsOf(std::string(utf8ByteOrderMark) + c.text), warningsOf(c.text)) << c.fault << ", marked";
    }

    // Past a misaligned line every cell reads wrong: one warning says why, and that the finish
    // the file holds is read as a height.
    const CheckReport shifted = checkLevel(levelFromText(lines({flat, start, "", flat, finish})));
    ASSERT_EQ(shifted.warnings.size(), 2u);
    EXPECT_EQ(shifted.warnings[0].where, "line 3");
    EXPECT_NE(shifted.warnings[1].text.find("reads it as a height"), std::string::npos);
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

// A file that ends in a lone carriage return: the return is the height of one last, empty cell,
// as the game reads it (once a second reading of the tool's own stopped short of it and gave up).
TEST(LevelCheck, AFileEndingInALoneCarriageReturnIsShownAsTheGameReadsIt)
{
    const LevelFile level = levelFromText("1x1S1x1x1Z\r");
    ASSERT_EQ(level.cells.size(), 6u);
    EXPECT_EQ(level.cells.back().heightChar.value, '\r');
    EXPECT_EQ(level.cells.back().letter.value, EOF);
    EXPECT_EQ(topView(level).substr(0, 59), "2 rows, start at row 1, column 2, finish at row 1, column 5");
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
    EXPECT_EQ(solveLevel(gap(2, '1', '1'), {}).outcome, SolveResult::Outcome::Winnable);
    EXPECT_EQ(solveLevel(gap(3, '1', '1'), {}).outcome, SolveResult::Outcome::Exhausted);
    EXPECT_EQ(warningKinds(gap(3, '1', '1')), std::multiset<std::string>{"finish unreachable"});
    EXPECT_EQ(solveLevel(gap(3, '3', '1'), {}).outcome, SolveResult::Outcome::Winnable);
    EXPECT_TRUE(warningKinds(gap(3, '3', '1')).empty());
}

// A plan holds at every frame rate it is checked at, and what the solver writes reads back as
// the plan it played; a FIFO would keep the reader waiting for a writer and cannot be read.
// Without a finish there is none to find, and a spent budget says so.
TEST(LevelSolver, FindsPlansThatHoldAndSaysWhyThereIsNone)
{
    const LevelFile wall = fromFile(testDataDir() / "wall-one-higher.lvl");
    const SolveResult climb = solveLevel(wall, {});
    ASSERT_EQ(climb.outcome, SolveResult::Outcome::Winnable);
    EXPECT_EQ(climb.holdsAt, (std::vector<int>{60, 30, 144, 2, 3, 5, 10})) << "a loaded machine's rates too";
    EXPECT_EQ(climb.played.result.deaths, 0);
    EXPECT_LT(climb.played.result.peakMeter, 0.25f);
    std::istringstream written(planText(wall, SolveOptions{}, climb, "x.plan"));
    const Plan plan = readPlan(written);
    EXPECT_TRUE(plan.errors.empty());
    EXPECT_EQ(plan.steps.size(), climb.lines.size());
    EXPECT_TRUE(playPlan(wall, plan.steps, frameStep(2, 60)).result.won);
    TempFolder folder;
    WatchedFifo fifo(folder.path() / "fifo.plan");
    EXPECT_EQ(readPlanFile(fifo.path()).errors, std::vector<std::string>{"cannot open " + fifo.path()});
    EXPECT_FALSE(fifo.opened());

    std::string noFinish = fromFile("Tindral/Levels/1.lvl").text;
    noFinish[noFinish.find('Z')] = 'x';
    EXPECT_EQ(solveLevel(levelFromText(noFinish), {}).outcome, SolveResult::Outcome::Exhausted);
    SolveOptions fewTries;
    fewTries.maxTried = 5;
    EXPECT_EQ(solveLevel(fromFile("Tindral/Levels/3.lvl"), fewTries).outcome, SolveResult::Outcome::BudgetSpent);
}
