#include "scene/Flame.h"

#include <gtest/gtest.h>

namespace {

constexpr double dt = 0.025;

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

void expectNear(glm::vec3 actual, glm::vec3 expected) { EXPECT_LT(glm::length(actual - expected), 1e-4f) << actual.x; }

} // namespace

TEST(Flame, ChaseSpeedAndLightColourAtGaps0_8_1_3_5And10)
{
    Chase still(0.8f);
    EXPECT_EQ(still.flame.position, still.start) << "within 0.8 the flame rests";
    Chase close(1.0f);
    EXPECT_NEAR(close.speed(), 0.9f, 1e-3f);
    expectNear(close.flame.lightColor, glm::vec3(1.0f, 0.25f, 0.0f));
    Chase safe(3.0f);
    expectNear(safe.flame.position - safe.start, glm::vec3(0.0f, 0.0f, -0.9f * static_cast<float>(dt)));
    EXPECT_EQ(safe.flame.lightColor, glm::vec3(1.0f));
    Chase far(5.0f);
    EXPECT_NEAR(far.speed(), 0.9f, 1e-3f);
    expectNear(far.flame.lightColor, glm::vec3(0.0f, 0.0f, 1.0f));
    Chase veryFar(10.0f);
    EXPECT_NEAR(veryFar.speed(), 1.8f, 1e-3f) << "beyond 5 the flame speeds up with the gap";

    // The colour fades in over the half unit inside each edge of the band.
    expectNear(Chase(2.25f).flame.lightColor, glm::vec3(1.0f, 1.0f - 0.75f * 0.25f, 0.75f));
    expectNear(Chase(3.75f).flame.lightColor, glm::vec3(0.75f, 0.75f, 1.0f));
}

TEST(Flame, ModelIsDrawnOneStepAheadAndTheLightSitsOnTheFlame)
{
    Chase chase(3.0f);
    expectNear(glm::vec3(chase.flame.modelMatrix[3]), chase.flame.position + (chase.flame.position - chase.start));
    EXPECT_EQ(chase.flame.lightPosition, chase.flame.position);
}
