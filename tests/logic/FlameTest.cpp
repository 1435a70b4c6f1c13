#include "scene/Flame.h"

#include <gtest/gtest.h>

namespace {

constexpr double dt = 0.025;

// A flame one unit above the hero and `gap` units behind it in z, after one chase step.
struct Chase {
    explicit Chase(float gap) : flame(glm::vec3(2.5f, 2.0f, -3.0f + gap))
    {
        flame.target = glm::vec3(2.5f, 1.0f, -3.0f);
        start = flame.position;
        flame.update(dt);
    }
    float speed() const { return glm::length(flame.position - start) / static_cast<float>(dt); }

    Flame flame;
    glm::vec3 start;
};

void expectNear(glm::vec3 actual, glm::vec3 expected)
{
    EXPECT_LT(glm::length(actual - expected), 1e-4f) << actual.x;
}

} // namespace

TEST(Flame, ChaseSpeedAndLightColourAtGaps0_8_1_3_5And10)
{
    const struct {
        float gap, speed;
        glm::vec3 colour;
    } cases[] = {
        {0.8f, 0.0f, {1.0f, 0.25f, 0.0f}},     // within 0.8 the flame rests
        {1.0f, 0.9f, {1.0f, 0.25f, 0.0f}},     // too close: red-orange
        {2.25f, 0.9f, {1.0f, 0.8125f, 0.75f}}, // fading in over the half unit inside the band
        {3.0f, 0.9f, {1.0f, 1.0f, 1.0f}},      {3.75f, 0.9f, {0.75f, 0.75f, 1.0f}},
        {5.0f, 0.9f, {0.0f, 0.0f, 1.0f}},  // too far: blue
        {10.0f, 1.8f, {0.0f, 0.0f, 1.0f}}, // beyond 5 it speeds up with the gap
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gap);
        const Chase chase(c.gap);
        EXPECT_NEAR(chase.speed(), c.speed, 1e-3f);
        EXPECT_LT(chase.flame.position.z, chase.start.z + 1e-6f) << "it only ever comes nearer";
        expectNear(chase.flame.lightColor, c.colour);
    }
}

TEST(Flame, ModelIsDrawnOneStepAheadAndTheLightSitsOnTheFlame)
{
    Chase chase(3.0f);
    expectNear(glm::vec3(chase.flame.modelMatrix[3]), chase.flame.position + (chase.flame.position - chase.start));
    EXPECT_EQ(chase.flame.lightPosition, chase.flame.position);
}

// The fire roars louder as the flame closes in: each chase step asks once for the volume.
TEST(Flame, EachChaseStepAsksForAVolumeThatGrowsAsTheGapCloses)
{
    const std::pair<float, float> cases[] = {{3.0f, 0.90625f}, {10.0f, 0.6175f}};
    for (const auto& [gap, volume] : cases) {
        SCOPED_TRACE(gap);
        const Chase chase(gap);
        const std::vector<SoundRequest>& made = chase.flame.sounds.made();
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0].kind, SoundRequest::Kind::Volume);
        EXPECT_NEAR(made[0].volume, volume, 1e-5f);
    }
}
