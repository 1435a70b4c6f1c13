#include "TestSupport.h"
#include "LevelPlayer.h"

#include "scene/LevelReader.h"

#include <fstream>

namespace {

int countLines(const std::string& text, const std::string& line)
{
    int count = 0;
    const std::string wanted = line + "\n";
    for (std::size_t at = text.find(wanted); at != std::string::npos; at = text.find(wanted, at + 1))
        if (at == 0 || text[at - 1] == '\n')
            ++count;
    return count;
}

std::vector<PlanStep> planFor(const std::string& name) { return readPlan(testDataDir() / (name + ".plan")); }

class LevelPlayerTest : public GameTest {
protected:
    // Plays levels 1 to 3 of the game in order; each must be won without a death.
    void winAllLevels(double step)
    {
        LevelPlayer player(*game, step);
        for (int level = 1; level <= 3; ++level) {
            ASSERT_EQ(game->currentLevel, level);
            const PlayResult result = player.play(planFor("level" + std::to_string(level)), 600.0);
            ASSERT_TRUE(result.won) << "level " << level << ": " << result.describe();
            EXPECT_EQ(result.deaths, 0) << "level " << level << ": " << result.describe();
            // A fair level leaves room for a player less exact than this one.
            EXPECT_LT(std::max(result.peakNear, result.peakFar), 0.5f) << "level " << level << ": "
                                                                        << result.describe();
        }
        EXPECT_TRUE(game->finished);
    }
};

} // namespace

TEST_F(LevelPlayerTest, FallsOffOnceThenWinsAllThreeLevels)
{
    testing::internal::CaptureStdout();

    // Off the left edge at the start: one life goes and the hero is back at the start.
    settle();
    pressKey(GLFW_KEY_A);
    for (int i = 0; i < 400 && game->hero->lives == 4; ++i)
        game->update(gameStep);
    releaseKey(GLFW_KEY_A);
    EXPECT_EQ(game->hero->lives, 3);
    EXPECT_EQ(game->hero->position, game->startPosition + glm::vec3(0.0f, 0.1f, 0.0f));

    winAllLevels(gameStep);

    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("hero died\n3 lives left\n"), out.find("hero died\n"));
    EXPECT_EQ(countLines(out, "hero died"), 1);
    EXPECT_EQ(countLines(out, "you WON"), 3);
    EXPECT_EQ(countLines(out, "Useless Shit"), 0);
}

TEST_F(LevelPlayerTest, ThePlansHoldAtOtherFrameRates)
{
    for (double framesPerSecond : {30.0, 144.0}) {
        SCOPED_TRACE(framesPerSecond);
        newGame();
        testing::internal::CaptureStdout();
        winAllLevels(1.5 / framesPerSecond);
        EXPECT_EQ(countLines(testing::internal::GetCapturedStdout(), "you WON"), 3);
    }
}

TEST_F(LevelPlayerTest, AWallTwoHigherMakesTheFinishUnreachable)
{
    // The same player and plan: one higher is climbed, two higher is not, and trying again
    // after each death ends the game.
    buildLevelFile(testDataDir() / "wall-one-higher.lvl");
    testing::internal::CaptureStdout();
    LevelPlayer player(*game, gameStep);
    const PlayResult climbable = player.play(planFor("climb"), 120.0);
    EXPECT_EQ(countLines(testing::internal::GetCapturedStdout(), "you WON"), 1);
    EXPECT_TRUE(climbable.won) << climbable.describe();
    EXPECT_EQ(climbable.deaths, 0);

    newGame();
    buildLevelFile(testDataDir() / "wall-two-higher.lvl");
    testing::internal::CaptureStdout();
    LevelPlayer blocked(*game, gameStep);
    const PlayResult result = blocked.play(planFor("climb"), 120.0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(result.won) << result.describe();
    EXPECT_TRUE(result.gameOver);
    EXPECT_EQ(result.deaths, 4) << "every life is lost at the wall";
    EXPECT_EQ(countLines(out, "you WON"), 0);
    EXPECT_EQ(countLines(out, "Useless Shit"), 1);
}

TEST(Levels, FitTheFormatAndGrowInLength)
{
    std::size_t previousRows = 0;
    for (int level = 1; level <= 3; ++level) {
        SCOPED_TRACE(level);
        std::ifstream file("Tindral/Levels/" + std::to_string(level) + ".lvl", std::ios::binary);
        ASSERT_TRUE(file.is_open());
        const std::string text(std::istreambuf_iterator<char>(file), {});
        std::istringstream in(text);
        const LevelLayout layout = parseLevel(in);

        std::size_t counted = 0;
        for (char c : text)
            counted += c != '\n';
        EXPECT_LE(counted, static_cast<std::size_t>(maxLevelCharacters)) << "nothing may be cut off";
        EXPECT_EQ(layout.grid.size() % 5, 0u) << "whole rows only";
        EXPECT_GT(layout.startPosition.y, 0.0f) << "the hero starts on a column";
        ASSERT_TRUE(layout.finish.has_value());

        const std::size_t rows = layout.grid.size() / 5;
        EXPECT_GT(rows, previousRows);
        previousRows = rows;
        EXPECT_EQ(layout.invisCubes.empty(), level == 1) << "invisible cubes come with level 2";
    }
}
