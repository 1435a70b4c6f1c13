// All three levels won with the real models and the real renderer, without a GL error.
#include "GlSupport.h"

#include "tools/player/PlanPlayer.h"

using LongPlayTest = GlGameTest;

TEST_F(LongPlayTest, AllThreeLevelsWonAndDrawnRaiseNoGlError)
{
    // A small window keeps every pass quick; 30 frames a second, every other one drawn, keep
    // the frames few enough for the sanitizer build.
    constexpr double step = 1.5 / 30.0;
    newRenderer(160, 120);
    renderer->setFixedState();
    PlanPlayer player(*game, step);
    int frames = 0;
    const auto frame = [&] {
        const bool drawn = ++frames % 2 == 0;
        if (drawn)
            renderer->clearFrame();
        game->update(step);
        if (drawn)
            renderer->renderFrame(*game);
        game->printDebugReport(static_cast<float>(step));
    };
    for (int level = 1; level <= 3 && !HasFailure(); ++level) {
        const Plan plan = readPlanFile((testDataDir() / ("level" + std::to_string(level) + ".solved.plan")).string());
        ASSERT_TRUE(plan.errors.empty());
        PlayResult result;
        printedBy([&] { result = player.play(plan.steps, 600.0, frame); });
        EXPECT_TRUE(result.won) << "level " << level << ": " << result.describe();
    }
    EXPECT_TRUE(game->finished());
}
