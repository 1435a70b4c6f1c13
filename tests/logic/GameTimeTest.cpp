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

// Flat rows of height 1, the hero starting in the middle of the second.
const char* const flatLevel = "1x1x1x1x1x\n1x1x1S1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n";

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
        holdFlameInTheSafeBand();
    }

    // Keeps the meters empty however long a test stands about.
    void holdFlameInTheSafeBand()
    {
        change([](PlaySnapshot& scene) { scene.flame.position = scene.hero.position + glm::vec3(0.0f, 1.0f, 3.0f); });
    }

    // The highest the hero gets, above the ground it jumped from, in frames of `step`.
    float jumpApex(double step)
    {
        const float ground = game->hero().position.y;
        pressKey(Key::Space);
        releaseKey(Key::Space);
        float apex = ground;
        for (int i = 0; i < 1000 && !(i > 0 && game->hero().onGround); ++i) {
            holdFlameInTheSafeBand();
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
    // 30 frames a second or more at the default difficulty: exactly the step given.
    for (double step : {stepAt(30.0), stepAt(60.0), stepAt(144.0)}) {
        const SubSteps steps = subStepsOf(step);
        EXPECT_EQ(steps.count, 1);
        EXPECT_EQ(steps.length, step);
    }
    const SubSteps justOver = subStepsOf(0.0501);
    EXPECT_EQ(justOver.count, 2);
    EXPECT_DOUBLE_EQ(justOver.length, 0.02505);

    const SubSteps twoFrames = subStepsOf(stepAt(2.0)); // 0.375 s of game time
    EXPECT_EQ(twoFrames.count, 8);
    EXPECT_DOUBLE_EQ(twoFrames.length, 0.375 / 8);

    // A huge difficulty: eight sub-steps of 0.05, the rest of the frame is not played.
    const SubSteps huge = subStepsOf(gameTimeStep(1000, 1.0 / 60.0));
    EXPECT_EQ(huge.count, 8);
    EXPECT_DOUBLE_EQ(huge.length, 0.05);

    for (double none : {0.0, -0.5, std::numeric_limits<double>::quiet_NaN()}) {
        const SubSteps steps = subStepsOf(none);
        EXPECT_EQ(steps.count, 1);
        EXPECT_EQ(steps.length, 0.0);
    }
}

TEST(GameTime, ADifficultyThatWouldRunTimeBackwardsIsRefusedWithALine)
{
    std::ostringstream messages;
    EXPECT_EQ(parseSettings("width=640\ndifficulty=-5\n", Settings{}, messages).difficulty, 2);
    EXPECT_EQ(messages.str(), "settings.conf: difficulty=-5 would run the game backwards; using 2\n");

    messages.str("");
    EXPECT_EQ(parseSettings("difficulty=-2", Settings{}, messages).difficulty, 2);
    EXPECT_EQ(parseSettings("difficulty=-1", Settings{}, messages).difficulty, -1) << "a standstill is allowed";
    EXPECT_EQ(parseSettings("difficulty=0", Settings{}, messages).difficulty, 0);
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
        change([](PlaySnapshot& scene) { scene.hero.position.x = 2.9f; });
        pressKey(Key::D);
        pressKey(Key::Space);
        bool landedHigh = false;
        printedBy([&] {
            for (int i = 0; i < 8 && game->hero().lives == 4; ++i) {
                holdFlameInTheSafeBand();
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
    holdFlameInTheSafeBand();
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

TEST_F(GameTimeRules, AnEightSecondStallCostsNoLife)
{
    // Standing still after a second of play; the machine stops for eight seconds and comes
    // back: the first frame after it stands for a quarter second, and the flame, which would
    // have overshot the hero and filled the far meter in moments, closes in as usual.
    for (int i = 0; i < 60; ++i)
        game->update(stepAt(60.0));
    change([&](PlaySnapshot& scene) {
        scene.flame.position = game->startPosition() + glm::vec3(0.0f, 0.05f, 5.0f - 0.9f * 1.5f);
    });
    const std::string printed = printedBy([&] {
        game->update(gameTimeStep(2, 8.0));
        for (int i = 0; i < 60; ++i)
            game->update(stepAt(60.0));
    });
    EXPECT_EQ(printed.find("hero died"), std::string::npos) << printed;
    EXPECT_EQ(game->hero().lives, 4);
    EXPECT_LT(game->hero().farMeter, 0.5f);
    EXPECT_LT(game->flame().position.z - game->hero().position.z, 5.0f) << "the flame stays behind the hero";
    EXPECT_GT(game->flame().position.z - game->hero().position.z, 0.0f);
}
