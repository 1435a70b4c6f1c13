#include "scene/Flame.h"

#include <gtest/gtest.h>

namespace {

constexpr double dt = 0.025;

void expectVec3Near(glm::vec3 actual, glm::vec3 expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A flame one unit above the hero and `gap` units behind it in z, after one chase step.
struct Chase {
    explicit Chase(float gap) : flame(glm::vec3(2.5f, 2.0f, -3.0f + gap), ModelSource::Detached)
    {
        flame.target = glm::vec3(2.5f, 1.0f, -3.0f);
        start = flame.position;
        flame.update(dt);
    }
    float speed() const { return glm::length(flame.position - start) / static_cast<float>(dt); }

    Flame flame;
    glm::vec3 start;
};

} // namespace

TEST(Flame, ChaseSpeedAndLightColourFollowTheGap)
{
    Chase still(0.8f);
    EXPECT_EQ(still.flame.position, still.start) << "within 0.8 the flame rests";

    Chase close(1.0f);
    expectVec3Near(close.flame.lightColor, glm::vec3(1.0f, 0.25f, 0.0f));
    EXPECT_NEAR(close.speed(), 0.9f, 1e-3f);

    Chase safe(3.0f);
    expectVec3Near(safe.flame.position - safe.start, glm::vec3(0.0f, 0.0f, -0.9f * static_cast<float>(dt)));
    EXPECT_EQ(safe.flame.lightColor, glm::vec3(1.0f));

    Chase far(5.0f);
    EXPECT_NEAR(far.speed(), 0.9f, 1e-3f);
    expectVec3Near(far.flame.lightColor, glm::vec3(0.0f, 0.0f, 1.0f));

    Chase veryFar(10.0f);
    EXPECT_NEAR(veryFar.speed(), 1.8f, 1e-3f);
}

TEST(Flame, LightFadesInTheHalfUnitInsideTheBand)
{
    Chase nearEdge(2.25f); // c = 2 - 2.25 + 0.5
    expectVec3Near(nearEdge.flame.lightColor, glm::vec3(1.0f, 1.0f - 0.75f * 0.25f, 0.75f), 1e-4f);
    Chase farEdge(3.75f); // c = 3.75 - 4 + 0.5
    expectVec3Near(farEdge.flame.lightColor, glm::vec3(0.75f, 0.75f, 1.0f), 1e-4f);
}

TEST(Flame, ModelIsDrawnOneStepAheadAndTheLightSitsOnTheFlame)
{
    Chase chase(3.0f);
    const glm::vec3 step = chase.flame.position - chase.start;
    expectVec3Near(glm::vec3(chase.flame.modelMatrix[3]), chase.flame.position + step);
    EXPECT_EQ(chase.flame.lightPosition, chase.flame.position);
}

TEST(Flame, SteeredByHandOnlyTheLightMoves)
{
    Chase chase(1.0f);
    Flame& flame = chase.flame;
    const glm::vec3 position = flame.position;
    const glm::vec3 colour = flame.lightColor;
    flame.handSteering = true;
    flame.steeringVelocity = glm::vec3(1.0f, 0.0f, -1.0f);
    flame.update(0.5);

    EXPECT_EQ(flame.position, position);
    EXPECT_EQ(flame.lightColor, colour);
    expectVec3Near(flame.lightPosition, position + glm::vec3(0.5f, 0.0f, -0.5f));
    expectVec3Near(glm::vec3(flame.modelMatrix[3]), flame.lightPosition);
}
