#include "GameHarness.h"
#include "LevelPlayer.h"

#include "scene/Flame.h"

#include <iostream>

namespace {

int countLines(const std::string& text, const std::string& line)
{
    int count = 0;
    for (std::size_t at = text.find(line + "\n"); at != std::string::npos; at = text.find(line + "\n", at + 1))
        if (at == 0 || text[at - 1] == '\n')
            ++count;
    return count;
}

std::vector<PlanStep> planFor(const std::string& name) { return readPlan(testDataDir() / (name + ".plan")); }

} // namespace

class LevelPlayerTest : public GameTest {};

TEST_F(LevelPlayerTest, Level1)
{
    LevelPlayer player(*game, gameStep);
    const PlayResult result = player.play(planFor("level1"), 600.0);
    std::cerr << result.describe() << "\n";
    EXPECT_TRUE(result.won);
}
