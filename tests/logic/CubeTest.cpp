#include "scene/Cube.h"
#include "scene/Bar.h"
#include "scene/Propeller.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

constexpr float dt = 0.025f;

void updateWithHeroAt(Cube& cube, glm::vec3 hero)
{
    cube.heroPosition = hero;
    cube.updateCube(dt);
}

bool reaches(CubeFinish& finish, glm::vec3 hero)
{
    updateWithHeroAt(finish, hero);
    return finish.reached;
}

} // namespace

TEST(Cube, HeroAt2_85Minus3_5FadesTheCubeAt3Minus3ButIsNotOnTheFinishThere)
{
    const glm::vec3 hero(2.85f, 1.0f, -3.5f);
    CubeInvis invisible(glm::vec3(3.0f, 1.0f, -3.0f));
    updateWithHeroAt(invisible, hero);
    EXPECT_TRUE(invisible.fading) << "the fading area is the cell shifted by 0.2";

    CubeFinish finish(glm::vec3(3.0f, 1.0f, -3.0f));
    EXPECT_FALSE(reaches(finish, hero));
    EXPECT_TRUE(reaches(finish, glm::vec3(3.05f, 1.0f, -3.95f)));

    CubeInvis missed(glm::vec3(3.0f, 1.0f, -3.0f));
    updateWithHeroAt(missed, glm::vec3(3.5f, 1.0f, -3.1f));
    EXPECT_FALSE(missed.fading) << "the shifted area misses a hero deep in the cell's front edge";
}

TEST(Cube, TheFinishIsReachedOnOrAboveItsTopButNotFromInsideItsColumn)
{
    CubeFinish finish(glm::vec3(2.0f, 3.0f, -6.0f));
    EXPECT_FALSE(reaches(finish, glm::vec3(2.5f, 0.55f, -6.01f))) << "sinking inside a wall two higher";
    EXPECT_FALSE(reaches(finish, glm::vec3(2.5f, 2.5f, -6.5f)));
    EXPECT_TRUE(reaches(finish, glm::vec3(2.5f, 3.0f, -6.5f))) << "standing on it";

    CubeFinish flownOver(glm::vec3(2.0f, 3.0f, -6.0f));
    EXPECT_TRUE(reaches(flownOver, glm::vec3(2.5f, 4.2f, -6.5f))) << "jumping over it";
}

TEST(Cube, FadingStartsAtAnyHeightAndGoesOnWithoutTheHero)
{
    CubeInvis cube(glm::vec3(3.0f, 1.0f, -3.0f));
    updateWithHeroAt(cube, glm::vec3(3.5f, 9.0f, -3.5f)); // high above, jumping over it
    ASSERT_TRUE(cube.fading);
    float elapsed = dt;
    for (int i = 0; i < 1000 && !cube.broken; ++i, elapsed += dt)
        updateWithHeroAt(cube, glm::vec3(0.5f, 1.0f, -0.5f));
    EXPECT_TRUE(cube.broken);
    EXPECT_FALSE(cube.fading);
    EXPECT_NEAR(elapsed, 1.0f / 0.75f, dt + 1e-4f);
}

TEST(Bar, WidthShowsTheValueAtAFlatHeight)
{
    Bar bar(glm::vec3(0.0f, -0.96f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    bar.value = 0.5f;
    bar.update(dt);
    const glm::vec4 corner = bar.modelMatrix * glm::vec4(1.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(corner.x, 0.5f);
    EXPECT_FLOAT_EQ(corner.y, -0.96f + 0.05f);
}

TEST(Propeller, SpinsForwardAboveTheHerosHead)
{
    Propeller propeller(glm::vec3(5.0f)); // its own position does not count
    const glm::mat4 hero = glm::translate(glm::mat4(1.0f), glm::vec3(2.5f, 1.0f, -3.5f));
    propeller.updateWithParent(hero, 0.5);
    EXPECT_FLOAT_EQ(propeller.spinAngle, 15.0f) << "30 degrees a second of game time";
    const glm::vec3 hub(propeller.modelMatrix * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_LT(glm::length(hub - glm::vec3(2.5f, 2.35f, -3.6f)), 1e-5f) << "1.35 above the hero, 0.1 ahead";
    propeller.updateWithParent(hero, 0.0);
    EXPECT_FLOAT_EQ(propeller.spinAngle, 15.0f) << "no time, no turn";
}
