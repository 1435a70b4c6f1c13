// Long play with the real models and the real renderer: all three levels drawn without a GL
// error, and level rebuilds and random keys that must not make the process grow.
#include "GlSupport.h"

#include "tools/player/PlanPlayer.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <unistd.h>

namespace {

long residentKb()
{
    long pages = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// AddressSanitizer holds freed memory back on purpose: resident size says nothing there.
constexpr bool residentSizeMeansSomething()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
    return !__has_feature(address_sanitizer);
#else
    return true;
#endif
}

class LongPlayTest : public GlGameTest {
protected:
    // Builds the levels in turn, each played for some steps of keys struck and released at
    // random, with the frame loop's report; the texture changes go as the renderer takes them.
    void play(int rebuilds, int stepsPerBuild)
    {
        static const int keys[] = {Key::W,  Key::A,  Key::S,  Key::D,  Key::Space, Key::Enter,  Key::Tab,
                                   Key::F,  Key::H,  Key::R,  Key::Z,  Key::G,     Key::T,      Key::J,
                                   Key::L,  Key::O,  Key::U,  Key::I,  Key::K,     Key::Escape, Key::F2,
                                   Key::F3, Key::F4, Key::F5, Key::F8, Key::F9};
        static const int actions[] = {KeyAction::Press, KeyAction::Repeat, KeyAction::Release};
        std::uniform_int_distribution<std::size_t> key(0, std::size(keys) - 1), action(0, 2);
        for (int build = 0; build < rebuilds; ++build) {
            game->loadLevel(1 + build % 3);
            for (int step = 0; step < stepsPerBuild; ++step) {
                keyEvent(keys[key(random_)], actions[action(random_)]);
                game->update(gameStep);
                game->printDebugReport(static_cast<float>(gameStep));
                game->takeSamplingChanges();
            }
        }
    }

    std::mt19937 random_{12};
};

} // namespace

TEST_F(LongPlayTest, FiveHundredRebuildsAndTenThousandStepsOfRandomKeysKeepMemoryFlat)
{
    long before = 0;
    long after = 0;
    printedBy([&] {
        play(20, 20); // warm-up: caches, allocator pools, the first of everything
        before = residentKb();
        play(500, 20);
        after = residentKb();
    });
    std::printf("resident memory: %ld kB after warm-up, %ld kB after 500 rebuilds\n", before, after);
    if (residentSizeMeansSomething()) {
        EXPECT_LT(after - before, 1024);
    }
}

TEST_F(LongPlayTest, AllThreeLevelsWonAndDrawnRaiseNoGlError)
{
    // A small window keeps every pass quick; 30 frames a second, every other one drawn, keep
    // the frames few enough for the sanitizer build.
    constexpr int width = 160, height = 120;
    constexpr double step = 1.5 / 30.0;
    newRenderer(width, height);
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
    std::printf("%d frames played, every other one drawn\n", frames);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glViewport(0, 0, 800, 600);
}
