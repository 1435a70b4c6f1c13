// How real time becomes game time: the difficulty's speed, the longest frame a stall may stand
// for, and the sub-steps that keep a slow machine's jumps as high as a fast one's.
#include "TestSupport.h"

#include "app/Settings.h"
#include "game/GameTime.h"
#include "scene/Flame.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The game step of one frame at a steady frame rate and the default difficulty.
double stepAt(double framesPerSecond)
{
    return gameTimeStep(2, 1.0 / framesPerSecond);
}

class GameTimeRules : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        buildLevel(flatLevel);
        settle();
        placeFlame();
    }

    // The highest the hero gets, above the ground it jumped from, in frames of `step`.
    float jumpApex(double step)
    {
        const float ground = game->hero().position.y;
        pressKey(Key::Space);
        releaseKey(Key::Space);
        float apex = ground;
        for (int i = 0; i < 1000 && !(i > 0 && game->hero().onGround); ++i) {
            placeFlame(); // the meters stay empty however long the test takes
            game->update(step);
            apex = std::max(apex, game->hero().position.y);
        }
        EXPECT_TRUE(game->hero().onGround) << "the hero came down again";
        return apex - ground;
    }
};

} // namespace

TEST(GameTime, DifficultySetsTheSpeedAndAStallStandsForAQuarterSecondAtMost)
{
    EXPECT_DOUBLE_EQ(gameTimeStep(2, 1.0 / 60.0), 1.5 / 60.0) << "the default runs 1.5 times real time";
    EXPECT_DOUBLE_EQ(gameTimeStep(1, 0.1), 0.1);
    EXPECT_DOUBLE_EQ(gameTimeStep(0, 0.1), 0.05);
    EXPECT_EQ(gameTimeStep(-1, 0.1), 0.0) << "-1 stands time still";
    EXPECT_DOUBLE_EQ(gameTimeStep(2, 8.0), 1.5 * 0.25) << "an 8 s stall is a quarter second of play";
    EXPECT_DOUBLE_EQ(gameTimeStep(2, 0.25), 1.5 * 0.25);
    EXPECT_EQ(gameTimeStep(2, -1.0), 0.0) << "a clock that went back stands for nothing";
}

TEST(GameTime, LongStepsAreSplitIntoEqualSubStepsOfAtMostAWalkingFrame)
{
    const struct {
        double step;
        int count;
        double length;
    } cases[] = {
        {stepAt(30.0), 1, stepAt(30.0)}, // 30 frames a second or more: exactly the step given
        {stepAt(144.0), 1, stepAt(144.0)},
        {0.0501, 2, 0.02505},
        {stepAt(2.0), 8, 0.375 / 8},               // two frames a second: 0.375 s of game time
        {gameTimeStep(1000, 1.0 / 60.0), 8, 0.05}, // a huge difficulty: the rest of the frame is not played
        {0.0, 1, 0.0},
        {-0.5, 1, 0.0},
        {std::numeric_limits<double>::quiet_NaN(), 1, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(subStepsOf(c.step).count, c.count);
        EXPECT_DOUBLE_EQ(subStepsOf(c.step).length, c.length);
    }
}

TEST(GameTime, ADifficultyThatWouldRunTimeBackwardsIsRefusedWithALine)
{
    std::ostringstream messages;
    EXPECT_EQ(parseSettings("difficulty=-2", Settings{}, messages).difficulty, 2);
    EXPECT_EQ(parseSettings("difficulty=-1", Settings{}, messages).difficulty, -1) << "a standstill is allowed";
    EXPECT_EQ(messages.str(), "settings.conf: difficulty=-2 would run the game backwards; using 2\n");
}

TEST_F(GameTimeRules, AJumpRisesAsHighAtTwoFramesASecondAsAt144)
{
    const float fast = jumpApex(stepAt(144.0));
    const float slow = jumpApex(stepAt(2.0));
    EXPECT_NEAR(fast, 1.31f, 0.02f);
    EXPECT_NEAR(slow / fast, 1.0f, 0.02f) << "apex " << slow << " at 2 frames a second, " << fast << " at 144";
}

TEST_F(GameTimeRules, AtTwoFramesASecondOneColumnHigherCanBeClimbedAndTwoCannot)
{
    // From the right edge of the start column (height 1), a jump to the right, then the hero
    // is left to come down.
    const auto jumpRight = [&](const char* level) {
        buildLevel(level);
        settle();
        change([](LevelState& scene) { scene.hero.position.x = 2.9f; });
        pressKey(Key::D);
        pressKey(Key::Space);
        bool landedHigh = false;
        printedBy([&] {
            for (int i = 0; i < 8 && game->hero().lives == 4; ++i) {
                placeFlame();
                game->update(stepAt(2.0));
                releaseKey(Key::D);
                landedHigh = landedHigh || (game->hero().onGround && game->hero().position.y > 1.5f);
            }
        });
        return landedHigh;
    };
    EXPECT_TRUE(jumpRight("1x1x1x1x1x\n1x1x1S2x1x\n1x1x1x1x1x\n")) << "one higher";
    EXPECT_EQ(game->heroCell(), 8);
    EXPECT_FLOAT_EQ(game->hero().position.y, 2.0f);

    EXPECT_FALSE(jumpRight("1x1x1x1x1x\n1x1x1S3x1x\n1x1x1x1x1x\n")) << "two higher";
    EXPECT_EQ(game->hero().lives, 3) << "the hero sank through the column and fell";
}

TEST_F(GameTimeRules, ALongFrameActsOnItsKeysInItsFirstSubStepAndSteersInAllOfThem)
{
    const double step = stepAt(2.0);
    const SubSteps steps = subStepsOf(step);
    const glm::vec3 start = game->hero().position;

    // Held D walks through every sub-step of the frame.
    pressKey(Key::D);
    game->update(step);
    releaseKey(Key::D);
    EXPECT_NEAR(game->hero().position.x - start.x, 2.5 * 0.75 * step, 1e-4);

    // Space jumps in the first sub-step: the hero rises through the whole frame, as the sum
    // of the sub-steps' rises says.
    placeFlame();
    const float ground = game->hero().position.y;
    pressKey(Key::Space);
    pressKey(Key::Enter);
    const std::string printed = printedBy([&] { game->update(step); });
    double rise = 0.0, upward = 4.8;
    for (int i = 0; i < steps.count; ++i) {
        rise += (upward - 2.0) * steps.length;
        upward = std::max(0.0, upward - 3.0 * steps.length);
    }
    EXPECT_NEAR(game->hero().position.y - ground, rise, 1e-4);
    EXPECT_EQ(printed, "change site isLeft: 0\n") << "Enter acts once in a frame of eight sub-steps";
}
