// Long play with the real models and the real renderer: all three levels drawn without a GL
// error, level rebuilds and random keys that must not make the process grow, and what a
// broken model prints where.
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

using LevelBuildTest = GlGameTest;

class LongPlayTest : public GlGameTest {
protected:
    // Builds the levels in turn, each played for some steps of keys struck and released at
    // random, with the frame loop's report; the texture changes go as the renderer takes them.
    void play(int rebuilds, int stepsPerBuild)
    {
        static const int keys[] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_ENTER,
                                   GLFW_KEY_TAB, GLFW_KEY_F, GLFW_KEY_H, GLFW_KEY_R, GLFW_KEY_Z, GLFW_KEY_G,
                                   GLFW_KEY_T, GLFW_KEY_J, GLFW_KEY_L, GLFW_KEY_O, GLFW_KEY_U, GLFW_KEY_I,
                                   GLFW_KEY_K, GLFW_KEY_ESCAPE, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4,
                                   GLFW_KEY_F5, GLFW_KEY_F8, GLFW_KEY_F9};
        static const int actions[] = {GLFW_PRESS, GLFW_REPEAT, GLFW_RELEASE};
        std::uniform_int_distribution<std::size_t> key(0, std::size(keys) - 1), action(0, 2);
        for (int build = 0; build < rebuilds; ++build) {
            game->currentLevel = 1 + build % 3;
            game->loadLevel();
            for (int step = 0; step < stepsPerBuild; ++step) {
                onKey(nullptr, keys[key(random_)], 0, actions[action(random_)], 0);
                game->update(gameStep);
                game->printDebugReport(static_cast<float>(gameStep));
                game->samplingChanges.clear();
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
    EXPECT_TRUE(game->finished);
    std::printf("%d frames played, every other one drawn\n", frames);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glViewport(0, 0, 800, 600);
}

TEST_F(LevelBuildTest, WithTheCubeModelMissingTheFinishIsReportedAtItsCell)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "Tindral");
    std::filesystem::copy("Tindral/3DModels", folder.path() / "Tindral/3DModels",
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(folder.path() / "Tindral/3DModels/cube/cube.obj");
    WorkingDirectory inFolder(folder.path());
    buildLevel("1x121x1x1x\n1x1Z121x1x\n1S1x1x1x1x\n", 1);
    const std::string printed = newGame();

    const std::vector<std::string> lines = linesOf(printed);
    const auto at = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) - lines.begin(); };
    const auto firstInvis = at("1 1 0"), secondInvis = at("2 1 -1");
    ASSERT_LT(secondInvis, at("InvisCubes: 2")) << printed;
    int finishLines = 0;
    for (auto i = firstInvis + 1; i < secondInvis; ++i)
        finishLines += lines[static_cast<std::size_t>(i)].find("cube.obj") != std::string::npos;
    EXPECT_EQ(finishLines, 1) << "between the invisible cubes before and after the finish:\n" << printed;
}
