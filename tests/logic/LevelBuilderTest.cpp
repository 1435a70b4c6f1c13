#include "TestSupport.h"

#include "assets/SoundManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"

namespace {

const char* const smallLevel = "1x1x1x1x1x\n1x2S1x121x\n1x1x1x1Z1x\n";

using LevelBuilder = GameTest;

} // namespace

TEST_F(LevelBuilder, GameSetupMakesTheLifeBarsAndLevelOne)
{
    ASSERT_EQ(game->lifeBars().size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(game->lifeBars()[i].position.x, -0.9f + 0.1f * static_cast<float>(i), 1e-6f);
        EXPECT_FLOAT_EQ(game->lifeBars()[i].position.y, -0.96f);
        EXPECT_FLOAT_EQ(game->lifeBars()[i].value, 0.04f);
    }
    EXPECT_EQ(game->currentLevel(), 1);
    EXPECT_TRUE(game->finishCube()) << "level 1 was built";
}

TEST_F(LevelBuilder, BuildsALevelWithItsObjectsInPlaceAndPrintsItsCells)
{
    EXPECT_EQ(buildLevel("1x1x1x1x1x\r\n1x1S12121x\r\n", 12),
              "Current Level 12\nLADE das LEVEL: 12\n"
              "File Opened successfully!!!. Reading data from file into array\n2 1 -1\n3 1 -1\nInvisCubes: 2\n");

    buildLevel(smallLevel);
    EXPECT_EQ(game->grid(), (std::vector<int>{1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(game->cubes().size(), 14u);
    ASSERT_EQ(game->invisCubes().size(), 1u);
    EXPECT_EQ(game->invisCubes()[0].position, glm::vec3(3, 1, -1));
    ASSERT_TRUE(game->finishCube());
    EXPECT_EQ(game->finishCube()->position, glm::vec3(3, 1, -2));
    EXPECT_EQ(game->startPosition(), glm::vec3(1.5f, 2.0f, -1.5f));
    EXPECT_EQ(game->hero().position, glm::vec3(1.5f, 2.05f, -1.5f));
    EXPECT_EQ(game->flame().position, glm::vec3(1.5f, 2.05f, 3.5f));
    EXPECT_EQ(game->nearBar().position, glm::vec3(0.0f, -0.96f, 0.0f));
    EXPECT_EQ(game->nearBar().color, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(game->farBar().position, glm::vec3(0.0f, -0.9f, 0.0f));
    EXPECT_EQ(game->farBar().color, glm::vec3(0.2f, 0.2f, 1.0f));
}

TEST_F(LevelBuilder, BuildingTheSameLevelTwiceLeavesNothingOfTheFirstBuildBehind)
{
    buildLevel(smallLevel);
    const std::size_t cubes = game->cubes().size();
    // A level played on: a cube broken, the finish reached, lives lost, the hero in a cell.
    change([](LevelState& played) {
        played.grid[3] = 0;
        played.invisCubes[0].broken = true;
        played.invisCubes[0].transparency = -0.1f;
        played.finishCube->reached = true;
        played.hero.lives = 2;
        played.hero.farMeter = 0.7f;
        played.flame.position = glm::vec3(9.0f);
        played.finished = true;
    });
    frames(1);

    buildLevel(smallLevel);
    EXPECT_EQ(game->cubes().size(), cubes);
    ASSERT_EQ(game->invisCubes().size(), 1u);
    EXPECT_FALSE(game->invisCubes()[0].broken);
    EXPECT_EQ(game->invisCubes()[0].transparency, 1.0f);
    EXPECT_EQ(game->grid().size(), 15u);
    EXPECT_EQ(game->grid()[3], 1);
    EXPECT_FALSE(game->finishCube()->reached);
    EXPECT_EQ(game->hero().lives, 4);
    EXPECT_EQ(game->hero().farMeter, 0.0f);
    EXPECT_EQ(game->hero().position, glm::vec3(1.5f, 2.05f, -1.5f));
    EXPECT_EQ(game->flame().position, glm::vec3(1.5f, 2.05f, 3.5f));
    EXPECT_EQ(game->nearBar().value, 1.0f);
    EXPECT_FALSE(game->finished());
}

TEST_F(LevelBuilder, AMissingLevelFileIsReportedAndLeavesAnEmptyButPlayableLevel)
{
    // There is no 77.lvl.
    EXPECT_EQ(printedBy([&] { game->loadLevel(77); }),
              "Current Level 77\nLADE das LEVEL: 77\nFile could not be opened.\nInvisCubes: 0\n");
    EXPECT_TRUE(game->cubes().empty() && game->grid().empty());
    EXPECT_FALSE(game->finishCube());
    EXPECT_EQ(game->hero().position, glm::vec3(0.0f, 0.05f, 0.0f));
    const std::string printed = printedBy([&] {
        for (int i = 0; i < 100 && game->hero().lives == 4; ++i)
            game->update(gameStep);
    });
    EXPECT_EQ(printed, "hero died\n3 lives left\n") << "nothing holds the hero";
}

// The renderer reads each model's files once; the game prints what reading them printed wherever
// it makes an object from those files: the objects levels are copied from and the life bars'
// model at set-up, then in every build each finish cube as its cell is read, the glow's quad
// and the two meters, a missing level's too.
TEST_F(LevelBuilder, EveryObjectMadeFromItsFilesPrintsWhatReadingThemPrinted)
{
    GameOptions options;
    options.music = false;
    options.soundfx = false;
    options.levelFolder = levelFolder().string() + "/";
    // The sound manager says a line as the game sets up its sound, before any model's report.
    options.hearSounds = [](const std::vector<SoundRequest>& requests) { SoundManager::instance().play(requests); };
    const char* const names[] = {"hero", "flame", "cube", "invisible cube", "propeller", "bar", "quad"};
    for (std::size_t kind = 0; kind < modelKindCount; ++kind)
        options.modelReports[kind] = std::string("<") + names[kind] + ">\n";
    writeText(levelFolder() / "1.lvl", "1x1S121Z1x\n1Z121x1x1x\n");
    std::unique_ptr<Game> reported;
    EXPECT_EQ(printedBy([&] { reported = std::make_unique<Game>(options); }),
              "playsound - ambient \n<hero>\n<flame>\n<cube>\n<invisible cube>\n<propeller>\n<bar>\n"
              "Current Level 1\nLADE das LEVEL: 1\nFile Opened successfully!!!. Reading data from file into array\n"
              "2 1 0\n<cube>\n<cube>\n1 1 -1\nInvisCubes: 2\n<quad>\n<bar>\n<bar>\n");
    EXPECT_EQ(printedBy([&] { reported->loadLevel(77); }),
              "Current Level 77\nLADE das LEVEL: 77\nFile could not be opened.\nInvisCubes: 0\n<quad>\n<bar>\n<bar>\n");
}
