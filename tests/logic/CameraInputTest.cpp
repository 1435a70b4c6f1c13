#include "TestSupport.h"

#include "game/Camera.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override { inputState() = InputState{}; }
    void TearDown() override { inputState() = InputState{}; }
};

} // namespace

TEST(Camera, ComputeViewAt405And315LooksAtTwoThirdsFromTheFlame)
{
    const glm::vec3 hero(2.5f, 1.0f, -3.5f), flame(2.5f, 2.0f, -0.5f);
    const glm::vec3 target = flame + (hero - flame) * 2.0f / 3.0f;
    const float d = glm::length(flame - hero);
    const float side = (0.75f * d + 1.0f) * std::sqrt(0.5f);
    for (const float angle : {405.0f, 315.0f}) {
        SCOPED_TRACE(angle);
        Camera camera;
        camera.angle = angle;
        const glm::mat4 view = computeView(camera, hero, flame);
        const glm::vec3 expected = target + glm::vec3(angle == 405.0f ? side : -side, d / 3.0f, side);
        EXPECT_LT(glm::length(camera.eye - expected), 1e-4f);
        EXPECT_EQ(camera.savedEye, camera.eye);
        EXPECT_EQ(view, glm::lookAt(camera.eye, target, glm::vec3(0.0f, 1.0f, 0.0f)));
    }

    // Frozen, it stays where it was but still turns to the target.
    Camera frozen;
    frozen.frozen = true;
    frozen.savedEye = glm::vec3(9.0f);
    EXPECT_EQ(computeView(frozen, hero, flame), glm::lookAt(glm::vec3(9.0f), target, glm::vec3(0.0f, 1.0f, 0.0f)));
    EXPECT_EQ(frozen.savedEye, glm::vec3(9.0f));
}

TEST_F(Input, StrokeKeysCountOnPressOnlyOtherKeysOnEveryAction)
{
    keyEvent(Key::Space, KeyAction::Press);
    keyEvent(Key::Space, KeyAction::Repeat);
    keyEvent(Key::Tab, KeyAction::Release);
    keyEvent(Key::Enter, KeyAction::Repeat);
    keyEvent(Key::Escape, KeyAction::Release);
    keyEvent(Key::Q, KeyAction::Repeat);
    keyEvent(Key::Enter, KeyAction::Press);
    EXPECT_EQ(inputState().keys, (std::vector<int>{Key::Space, Key::Escape, Key::Q, Key::Enter}));
}
