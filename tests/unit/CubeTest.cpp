#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/PlaneAndPropeller.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

constexpr float dt = 0.025f;

CubeInvis invisibleCubeAt(glm::vec3 position)
{
    CubeInvis prototype{Cube(glm::vec3(0.0f), ModelSource::Detached)};
    CubeInvis cube(prototype);
    cube.position = position;
    return cube;
}

// Frame time the cube took to break while the hero stood in its fading area.
float timeToBreak(CubeInvis& cube, glm::vec3 hero)
{
    float elapsed = 0.0f;
    for (int i = 0; i < 1000 && !cube.broken; ++i) {
        cube.heroPosition = hero;
        cube.updateCube(dt);
        elapsed += dt;
    }
    return elapsed;
}

} // namespace

TEST(Cube, PlainCubeSitsAtItsPosition)
{
    Cube cube(glm::vec3(3.0f, 2.0f, -7.0f), ModelSource::Detached);
    cube.updateCube(dt);
    EXPECT_EQ(cube.modelMatrix, glm::translate(glm::mat4(1.0f), glm::vec3(3.0f, 2.0f, -7.0f)));
    EXPECT_FALSE(cube.broken);
}

TEST(Cube, InvisibleCubeBreaksAfterItsFadeTime)
{
    CubeInvis cube = invisibleCubeAt(glm::vec3(3.0f, 1.0f, -3.0f));
    EXPECT_FLOAT_EQ(cube.fadeRate, 0.75f);
    EXPECT_FALSE(cube.fading);

    const float elapsed = timeToBreak(cube, glm::vec3(3.5f, 1.0f, -3.5f));
    EXPECT_TRUE(cube.broken);
    EXPECT_FALSE(cube.fading);
    EXPECT_GT(elapsed, 1.0f / 0.75f);
    EXPECT_LT(elapsed, 1.0f / 0.75f + dt + 1e-4f);
}

TEST(Cube, FadingStartsAndGoesOnWithoutTheHero)
{
    CubeInvis cube = invisibleCubeAt(glm::vec3(3.0f, 1.0f, -3.0f));
    cube.heroPosition = glm::vec3(3.5f, 9.0f, -3.5f); // high above: the height does not count
    cube.updateCube(dt);
    EXPECT_TRUE(cube.fading);

    const float elapsed = dt + timeToBreak(cube, glm::vec3(0.5f, 1.0f, -0.5f));
    EXPECT_TRUE(cube.broken);
    EXPECT_NEAR(elapsed, 1.0f / 0.75f, dt + 1e-4f);
}

TEST(Cube, FadingAreaIsShiftedButTheFinishAreaIsTheCell)
{
    const glm::vec3 hero(2.85f, 1.0f, -3.5f);

    CubeInvis invisible = invisibleCubeAt(glm::vec3(3.0f, 1.0f, -3.0f));
    invisible.heroPosition = hero;
    invisible.updateCube(dt);
    EXPECT_TRUE(invisible.fading);

    CubeFinish finish(glm::vec3(3.0f, 1.0f, -3.0f), ModelSource::Detached);
    finish.heroPosition = hero;
    testing::internal::CaptureStdout();
    finish.updateCube(dt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(finish.reached);

    finish.heroPosition = glm::vec3(3.05f, 1.0f, -3.95f);
    testing::internal::CaptureStdout();
    finish.updateCube(dt);
    finish.updateCube(dt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "you won\nyou won\n");
    EXPECT_TRUE(finish.reached);

    // The shifted fading area misses a hero deep in the cell's front edge.
    CubeInvis missed = invisibleCubeAt(glm::vec3(3.0f, 1.0f, -3.0f));
    missed.heroPosition = glm::vec3(3.5f, 1.0f, -3.1f);
    missed.updateCube(dt);
    EXPECT_FALSE(missed.fading);
}

TEST(Bar, MatrixStretchesByValueAndFlattens)
{
    Bar bar(glm::vec3(0.0f, -0.96f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f), ModelSource::Detached);
    EXPECT_EQ(bar.value, 1.0f);
    EXPECT_EQ(bar.neutralColor, glm::vec3(0.8f));

    bar.value = 0.5f;
    bar.update(dt);
    const glm::vec4 corner = bar.modelMatrix * glm::vec4(1.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(corner.x, 0.5f);
    EXPECT_FLOAT_EQ(corner.y, -0.96f + 0.05f);

    const glm::mat4 before = bar.modelMatrix;
    bar.update(10.0);
    EXPECT_EQ(bar.modelMatrix, before) << "the frame time does not matter";

    bar.value = 1.2f;
    bar.update(dt);
    EXPECT_FLOAT_EQ((bar.modelMatrix * glm::vec4(1.0f, 0.0f, 0.0f, 1.0f)).x, 1.2f) << "nothing clamps the value";
    bar.value = 0.0f;
    bar.update(dt);
    EXPECT_FLOAT_EQ((bar.modelMatrix * glm::vec4(1.0f, 0.0f, 0.0f, 1.0f)).x, 0.0f);
}

TEST(Propeller, RidesOnTheHeroAndSpins)
{
    Propeller propeller(glm::vec3(7.0f, 7.0f, 7.0f), ModelSource::Detached);
    const glm::mat4 hero = glm::translate(glm::mat4(1.0f), glm::vec3(2.5f, 1.0f, -3.5f));

    propeller.updateWithParent(hero, 1.0);
    EXPECT_FLOAT_EQ(propeller.spinAngle, 30.0f);
    const glm::vec4 centre = propeller.modelMatrix * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(centre.x, 2.5f, 1e-5f);
    EXPECT_NEAR(centre.y, 1.0f + 1.35f, 1e-5f);
    EXPECT_NEAR(centre.z, -3.5f - 0.1f, 1e-5f);

    // It spins about the line through its centre along z: the model's -y axis after the
    // -90 degree turn about x. That axis stays put whatever the spin.
    for (double more : {0.0, 1.0, 2.5}) {
        propeller.updateWithParent(hero, more);
        const glm::vec4 axis = propeller.modelMatrix * glm::vec4(0.0f, -1.0f, 0.0f, 0.0f);
        EXPECT_NEAR(axis.x, 0.0f, 1e-5f);
        EXPECT_NEAR(axis.y, 0.0f, 1e-5f);
        EXPECT_NEAR(axis.z, 0.25f, 1e-5f);
    }
    EXPECT_FLOAT_EQ(propeller.spinAngle, 30.0f * 4.5f);

    // No time, no spin, but the matrix still follows a moved hero.
    const glm::mat4 moved = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 2.0f, -9.5f));
    propeller.updateWithParent(moved, 0.0);
    EXPECT_FLOAT_EQ(propeller.spinAngle, 30.0f * 4.5f);
    EXPECT_NEAR((propeller.modelMatrix * glm::vec4(0, 0, 0, 1)).y, 2.0f + 1.35f, 1e-5f);

    const Propeller copy(propeller);
    EXPECT_FLOAT_EQ(copy.spinAngle, propeller.spinAngle);
}
