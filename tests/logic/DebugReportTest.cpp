#include "TestSupport.h"

namespace {

const std::string dashes(69, '-');

std::string lineStartingWith(const std::string& text, const std::string& prefix)
{
    for (const std::string& line : linesOf(text))
        if (line.rfind(prefix, 0) == 0)
            return line;
    return "(no line starting with \"" + prefix + "\")";
}

class DebugReportTest : public GameTest {
protected:
    std::string report(float frameTime)
    {
        return printedBy([&] { game->printDebugReport(frameTime); });
    }
};

} // namespace

TEST_F(DebugReportTest, F3PrintsTheWholeReportAndDrawsLinesUntilStruckAgain)
{
    game->setObjectsDrawn(7);
    pressKey(Key::F3);
    EXPECT_EQ(report(0.5f), "") << "nothing changes while the key is down";
    releaseKey(Key::F3);
    EXPECT_EQ(report(0.5f), dashes + "\ndraw Wireframe: 1\nTransparency: 0\nViewFrustum: 0 | 7 object drawn\n"
                                     "TextureSampling: 1\nLevel of MipMapping: 1\n");
    EXPECT_TRUE(game->wireframe()) << "the report settles the polygon mode";
    EXPECT_EQ(report(0.5f), "") << "one stroke gives one report";

    strikeKey(Key::F3);
    EXPECT_TRUE(game->wireframe()) << "the switch alone changes nothing before its report";
    EXPECT_EQ(lineStartingWith(report(0.5f), "draw Wireframe"), "draw Wireframe: 0");
    EXPECT_FALSE(game->wireframe());
}

TEST_F(DebugReportTest, EveryOtherKeyReportsItsNegatedSwitch)
{
    strikeKey(Key::F4);
    EXPECT_EQ(lineStartingWith(report(0.1f), "TextureSampling"), "TextureSampling: 0");

    const char* const mipmapLines[] = {"Level of MipMapping: 0", "Level of MipMapping: 0", "Level of MipMapping: 1"};
    for (int stroke = 1; stroke <= 3; ++stroke) {
        EXPECT_EQ(printedBy([] { strikeKey(Key::F5); }), "status MipMap: " + std::to_string(stroke) + "\n");
        EXPECT_EQ(debugSwitches().mipmapLevel, stroke % 3);
        EXPECT_EQ(lineStartingWith(report(0.1f), "Level of MipMapping"), mipmapLines[stroke - 1]);
    }

    strikeKey(Key::F9);
    EXPECT_EQ(lineStartingWith(report(0.1f), "Transparency"), "Transparency: 1");
    game->setObjectsDrawn(42);
    strikeKey(Key::F8);
    EXPECT_EQ(lineStartingWith(report(0.1f), "ViewFrustum"), "ViewFrustum: 1 | 42 object drawn");
    EXPECT_FALSE(game->wireframe()) << "only F3 changes the polygon mode";
}

TEST_F(DebugReportTest, F2PrintsTheFrametimeOncePerAccumulatedSecond)
{
    std::string printed;
    for (int frame = 0; frame < 12; ++frame)
        printed += report(0.25f);
    EXPECT_EQ(printed, "") << "without F2 nothing is printed while no switch changes";

    strikeKey(Key::F2);
    EXPECT_EQ(linesOf(report(0.25f)).size(), 6u) << "turning F2 on prints the switch report first";
    printed.clear();
    for (int frame = 0; frame < 20; ++frame)
        printed += report(0.25f);
    // 0.25 s frames: the timer passes 1.0 on every fifth frame (1.25 > 1.0), then restarts at 0.25.
    std::string expected;
    for (int line = 0; line < 4; ++line)
        expected += dashes + "\nFrametime: 0.25 4FPS\n";
    EXPECT_EQ(printed, expected);

    // A long frame fills the timer; the next frame's line gives that frame's time.
    EXPECT_EQ(report(1.5f), "");
    EXPECT_EQ(linesOf(report(1.0f / 60.0f)).at(1), "Frametime: 0.0166667 59FPS") << "the rate is truncated";
    EXPECT_EQ(report(1.5f), "");
    EXPECT_EQ(linesOf(report(0.0f)).at(1), "Frametime: 0 0FPS");
}

TEST_F(DebugReportTest, F4AndF5AskForTheirFilterOnPressAndReleaseWithAReportOfTheStep)
{
    // On the press the stored switch still holds its old value, on the release the new one.
    pressKey(Key::F4);
    game->update(gameStep);
    releaseKey(Key::F4);
    std::string printed = printedBy([&] { game->update(gameStep); });
    pressKey(Key::F5);
    game->update(gameStep);
    releaseKey(Key::F5);
    printed += printedBy([&] { game->update(gameStep); });

    std::vector<std::pair<int, bool>> asked;
    for (const TextureSamplingChange& change : game->takeSamplingChanges())
        asked.emplace_back(change.value, change.mipmapMode);
    EXPECT_EQ(asked, (std::vector<std::pair<int, bool>>{{0, false}, {1, false}, {0, true}, {1, true}}));
    EXPECT_TRUE(game->takeSamplingChanges().empty()) << "taken once";
    EXPECT_EQ(linesOf(printed).size(), 12u) << "each release's frame prints the whole report:\n" << printed;
    EXPECT_EQ(lineStartingWith(printed, "TextureSampling"), "TextureSampling: 0");

    // Paused, the strokes still act.
    pressKey(Key::Tab);
    game->update(gameStep);
    pressKey(Key::F4);
    game->update(gameStep);
    EXPECT_EQ(game->takeSamplingChanges().size(), 1u);
}
