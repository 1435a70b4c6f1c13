#include "TestSupport.h"

#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/PlaneAndPropeller.h"


namespace {

const char* const smallLevel = "1x1x1x1x1x\n1x2S1x121x\n1x1x1x1Z1x\n";

class LevelBuilder : public GameTest {};

} // namespace

TEST_F(LevelBuilder, BuildsALevelWithItsObjectsInPlace)
{
    buildLevel(smallLevel);
    EXPECT_EQ(game->grid, (std::vector<int>{1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(game->cubes.size(), 14u);
    ASSERT_EQ(game->invisCubes.size(), 1u);
    EXPECT_EQ(game->invisCubes[0]->position, glm::vec3(3, 1, -1));
    EXPECT_FLOAT_EQ(game->invisCubes[0]->fadeRate, 0.75f);
    ASSERT_TRUE(game->finishCube);
    EXPECT_EQ(game->finishCube->position, glm::vec3(3, 1, -2));
    EXPECT_FALSE(game->finishCube->reached);

    EXPECT_EQ(game->startPosition, glm::vec3(1.5f, 2.0f, -1.5f));
    EXPECT_EQ(game->hero->position, glm::vec3(1.5f, 2.05f, -1.5f));
    EXPECT_EQ(game->hero->lives, 4);
    EXPECT_EQ(game->flame->position, glm::vec3(1.5f, 2.05f, 3.5f));
    EXPECT_EQ(game->propeller->position, glm::vec3(0.0f));
    EXPECT_EQ(game->nearBar->position, glm::vec3(0.0f, -0.96f, 0.0f));
    EXPECT_EQ(game->nearBar->color, glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(game->farBar->position, glm::vec3(0.0f, -0.9f, 0.0f));
    EXPECT_EQ(game->farBar->color, glm::vec3(0.2f, 0.2f, 1.0f));
    EXPECT_EQ(game->heroCell, 0);
    EXPECT_FALSE(game->finished);

    // Copies share their prototype's model; the finish cube is made on its own.
    EXPECT_EQ(game->cubes[0]->model.material, game->prototypes[2]->model.material);
    EXPECT_EQ(game->invisCubes[0]->model.material, game->prototypes[3]->model.material);
    EXPECT_EQ(game->hero->model.material, game->prototypes[0]->model.material);
    EXPECT_NE(game->finishCube->model.material, game->prototypes[2]->model.material);
}

TEST_F(LevelBuilder, BuildingTheSameLevelTwiceLeavesNothingBehind)
{
    // Wear the first build down, then build again: everything must be as new.
    buildLevel(smallLevel);
    const std::size_t cubes = game->cubes.size();
    game->grid[3] = 0;
    game->invisCubes[0]->broken = true;
    game->invisCubes[0]->transparency = -0.1f;
    game->cubes[0]->position = glm::vec3(9.0f);
    game->finishCube->reached = true;
    game->hero->lives = 2;
    game->hero->farMeter = 0.7f;
    game->flame->position = glm::vec3(9.0f);
    game->propeller->spinAngle = 90.0f;
    game->nearBar->value = 0.3f;
    game->heroCell = 6;
    game->finished = true;

    buildLevel(smallLevel);
    EXPECT_EQ(game->cubes.size(), cubes);
    EXPECT_EQ(game->cubes[0]->position, glm::vec3(0.0f, 1.0f, 0.0f));
    ASSERT_EQ(game->invisCubes.size(), 1u);
    EXPECT_FALSE(game->invisCubes[0]->broken);
    EXPECT_EQ(game->invisCubes[0]->transparency, 1.0f);
    EXPECT_EQ(game->grid.size(), 15u);
    EXPECT_EQ(game->grid[3], 1);
    EXPECT_FALSE(game->finishCube->reached);
    EXPECT_EQ(game->hero->lives, 4);
    EXPECT_EQ(game->hero->farMeter, 0.0f);
    EXPECT_EQ(game->hero->position, glm::vec3(1.5f, 2.05f, -1.5f));
    EXPECT_EQ(game->flame->position, glm::vec3(1.5f, 2.05f, 3.5f));
    EXPECT_EQ(game->propeller->spinAngle, 0.0f);
    EXPECT_EQ(game->nearBar->value, 1.0f);
    EXPECT_EQ(game->heroCell, 0);
    EXPECT_FALSE(game->finished);
}

TEST_F(LevelBuilder, PrintsTheLevelAsItReadsIt)
{
    const std::string name = std::to_string(scratchLevelNumber(1));
    const std::filesystem::path file = "Tindral/Levels/" + name + ".lvl";
    std::ofstream(file, std::ios::binary) << "1x1x1x1x1x\r\n1x1S12121x\r\n";
    game->currentLevel = std::stoi(name);
    testing::internal::CaptureStdout();
    game->loadLevel();
    const std::string out = testing::internal::GetCapturedStdout();
    std::filesystem::remove(file);
    EXPECT_EQ(out, "Current Level " + name + "\nLADE das LEVEL: " + name + "\n" +
                       "File Opened successfully!!!. Reading data from file into array\n"
                       "2 1 -1\n3 1 -1\nInvisCubes: 2\n");
}

TEST_F(LevelBuilder, AMissingLevelIsEmptyButPlayable)
{
    game->currentLevel = 77; // there is no 77.lvl
    testing::internal::CaptureStdout();
    game->loadLevel();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Current Level 77\nLADE das LEVEL: 77\nFile could not be opened.\nInvisCubes: 0\n");
    EXPECT_TRUE(game->cubes.empty());
    EXPECT_TRUE(game->grid.empty());
    EXPECT_FALSE(game->finishCube);
    EXPECT_EQ(game->hero->position, glm::vec3(0.0f, 0.05f, 0.0f));

    testing::internal::CaptureStdout();
    for (int i = 0; i < 100 && game->hero->lives == 4; ++i)
        game->update(gameStep);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "hero died\n3 lives left\n") << "nothing holds the hero";
}

TEST_F(LevelBuilder, GameSetupMakesLifeBarsProjectionAndLevelOne)
{
    ASSERT_EQ(game->lifeBars.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(game->lifeBars[i]->position.x, -0.9f + 0.1f * static_cast<float>(i), 1e-6f);
        EXPECT_FLOAT_EQ(game->lifeBars[i]->position.y, -0.96f);
        EXPECT_FLOAT_EQ(game->lifeBars[i]->value, 0.04f);
        EXPECT_EQ(game->lifeBars[i]->color, glm::vec3(1.0f, 0.0f, 0.0f));
    }
    EXPECT_NEAR(game->projectionMatrix[0][0], 1.2990381f, 1e-6f);
    EXPECT_NEAR(game->projectionMatrix[1][1], 1.7320509f, 1e-6f);
    EXPECT_FLOAT_EQ(game->projectionMatrix[2][2], -1.000666856765747f);
    EXPECT_FLOAT_EQ(game->projectionMatrix[3][2], -0.02000666782259941f);

    ASSERT_EQ(game->prototypes.size(), 5u);
    EXPECT_EQ(game->currentLevel, 1);
    EXPECT_EQ(game->camera->angle, 405.0f);
    EXPECT_TRUE(game->finishCube) << "level 1 was built";
    EXPECT_FALSE(game->paused);
}
