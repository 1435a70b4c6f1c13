// The three levels won by the scripted player with the plans tindral-level found, at several
// frame rates, and a level that cannot be won.
#include "TestSupport.h"

#include "game/GameTime.h"
#include "scene/Flame.h"
#include "tools/player/PlanPlayer.h"

#include <algorithm>

namespace {

// A plan of the test data; a line that cannot be read fails the calling test.
std::vector<PlanStep> readPlan(const std::string& name)
{
    const Plan plan = readPlanFile((testDataDir() / (name + ".plan")).string());
    for (const std::string& error : plan.errors)
        ADD_FAILURE() << name << ".plan: " << error;
    return plan.steps;
}

int countLines(const std::string& text, const std::string& line)
{
    const std::vector<std::string> lines = linesOf(text);
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

class LevelPlayerTest : public GameTest {
protected:
    // Plays levels 1 to 3 of the game in order; each must be won without a death, and with
    // room left for a player less exact than this one. Returns what the game printed.
    std::string winAllLevels(double step)
    {
        PlanPlayer player(*game, step);
        std::string printed;
        for (int level = 1; level <= 3 && !HasFailure(); ++level) {
            EXPECT_EQ(game->currentLevel(), level);
            const std::vector<PlanStep> plan = readPlan("level" + std::to_string(level) + ".solved");
            PlayResult result;
            printed += printedBy([&] { result = player.play(plan, 600.0); });
            EXPECT_TRUE(result.won) << "level " << level << ": " << result.describe();
            EXPECT_EQ(result.deaths, 0) << "level " << level << ": " << result.describe();
            EXPECT_LT(result.peakMeter, 0.5f) << "level " << level << ": " << result.describe();
        }
        EXPECT_TRUE(game->finished());
        return printed;
    }
};

} // namespace

// From a machine so loaded that it draws two frames a second to a fast monitor: the frame
// loop's steps at the default difficulty, each level won without a death.
TEST_F(LevelPlayerTest, ThePlansHoldFrom2To144FramesASecond)
{
    for (double framesPerSecond : {2.0, 3.0, 5.0, 10.0, 30.0, 60.0, 144.0}) {
        SCOPED_TRACE(framesPerSecond);
        newGame();
        EXPECT_EQ(countLines(winAllLevels(gameTimeStep(2, 1.0 / framesPerSecond)), "you WON"), 3);
    }
}

TEST_F(LevelPlayerTest, AWallTwoHigherMakesTheLevelUnwinnable)
{
    // The same player and plan: one higher is climbed, two higher is not, and trying again
    // after each death ends the game.
    buildLevel(readText(testDataDir() / "wall-one-higher.lvl"));
    const std::vector<PlanStep> plan = readPlan("wall-one-higher.solved");
    PlayResult result;
    std::string out = printedBy([&] { result = PlanPlayer(*game, gameStep).play(plan, 120.0); });
    EXPECT_TRUE(result.won) << result.describe();
    EXPECT_EQ(countLines(out, "you WON"), 1);

    newGame();
    buildLevel(readText(testDataDir() / "wall-two-higher.lvl"));
    out = printedBy([&] { result = PlanPlayer(*game, gameStep).play(plan, 120.0); });
    EXPECT_FALSE(result.won) << result.describe();
    EXPECT_TRUE(result.gameOver);
    EXPECT_EQ(result.deaths, 4) << "every life is lost at the wall";
    EXPECT_EQ(countLines(out, "you WON"), 0);
    EXPECT_EQ(countLines(out, "Useless Shit"), 1);
}
