#include "app/DebugSwitches.h"
#include "game/Camera.h"
#include "game/InputState.h"

#include <GLFW/glfw3.h>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

void key(int code, int action) { onKey(nullptr, code, 0, action, 0); }

class Input : public ::testing::Test {
protected:
    void SetUp() override
    {
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
    }
    void TearDown() override
    {
        inputState() = InputState{};
        debugSwitches() = DebugSwitches{};
    }
};

} // namespace

TEST(Camera, ViewLooksAtTwoThirdsFromTheFlameFromEitherSide)
{
    const glm::vec3 hero(2.5f, 1.0f, -3.5f);
    const glm::vec3 flame(2.5f, 2.0f, -0.5f);
    const glm::vec3 target = flame + (hero - flame) * 2.0f / 3.0f;
    const float d = glm::length(flame - hero);
    const float away = 0.75f * d + 1.0f;

    Camera right;
    const glm::mat4 view = right.computeView(hero, flame);
    const float s = std::sqrt(0.5f);
    EXPECT_NEAR(right.eye.x, target.x + away * s, 1e-4f);
    EXPECT_NEAR(right.eye.y, target.y + d / 3.0f, 1e-4f);
    EXPECT_NEAR(right.eye.z, target.z + away * s, 1e-4f);
    EXPECT_EQ(right.savedEye, right.eye);
    EXPECT_EQ(view, glm::lookAt(right.eye, target, glm::vec3(0.0f, 1.0f, 0.0f)));

    Camera left;
    left.angle = 315.0f;
    left.computeView(hero, flame);
    EXPECT_NEAR(left.eye.x, target.x - away * s, 1e-4f);
    EXPECT_NEAR(left.eye.z, target.z + away * s, 1e-4f);

    // Frozen, it stays where it was but still turns to the target.
    Camera frozen;
    frozen.frozen = true;
    frozen.savedEye = glm::vec3(9.0f, 9.0f, 9.0f);
    EXPECT_EQ(frozen.computeView(hero, flame), glm::lookAt(frozen.savedEye, target, glm::vec3(0.0f, 1.0f, 0.0f)));
    EXPECT_EQ(frozen.savedEye, glm::vec3(9.0f));
}

TEST(Camera, SwingTakesAboutOnePointTwoSecondsAndClampsAFrameLate)
{
    Camera camera;
    testing::internal::CaptureStdout();
    camera.changeSite();
    camera.changeSite();
    camera.changeSite();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "change site isLeft: 0\nchange site isLeft: 1\nchange site isLeft: 0\n");
    ASSERT_TRUE(camera.isLeft);

    const float dt = 0.025f;
    float elapsed = 0.0f;
    float lowest = camera.angle;
    while (camera.angle != 315.0f && elapsed < 5.0f) {
        camera.step(dt);
        elapsed += dt;
        lowest = std::min(lowest, camera.angle);
    }
    EXPECT_NEAR(elapsed, 1.2f, 2 * dt);
    EXPECT_GT(lowest, 315.0f - 75.0f * dt - 1e-3f);

    camera.isLeft = false;
    for (int i = 0; i < 100; ++i)
        camera.step(dt);
    EXPECT_EQ(camera.angle, 405.0f);

    camera.frozen = true;
    camera.velocity = glm::vec3(1.0f, 0.0f, -1.0f);
    camera.step(0.5f);
    EXPECT_EQ(camera.savedEye, glm::vec3(0.5f, 0.0f, -0.5f));
    EXPECT_EQ(camera.angle, 405.0f);
}

TEST_F(Input, StrokeKeysCountOnPressOnlyOthersOnEveryAction)
{
    key(GLFW_KEY_SPACE, GLFW_PRESS);
    EXPECT_EQ(inputState().lastKey, GLFW_KEY_SPACE);
    inputState().lastKey = 0;
    key(GLFW_KEY_SPACE, GLFW_REPEAT);
    key(GLFW_KEY_TAB, GLFW_RELEASE);
    key(GLFW_KEY_ENTER, GLFW_REPEAT);
    EXPECT_EQ(inputState().lastKey, 0);

    key(GLFW_KEY_ESCAPE, GLFW_RELEASE);
    EXPECT_EQ(inputState().lastKey, GLFW_KEY_ESCAPE);
    key(GLFW_KEY_Q, GLFW_REPEAT);
    EXPECT_EQ(inputState().lastKey, GLFW_KEY_Q);

    // A press and a release in one poll: only the later one is the frame's key.
    key(GLFW_KEY_SPACE, GLFW_PRESS);
    key(GLFW_KEY_A, GLFW_RELEASE);
    EXPECT_EQ(inputState().lastKey, GLFW_KEY_A);
}

TEST_F(Input, HeldKeysSteerAndOppositesCancel)
{
    key(GLFW_KEY_W, GLFW_PRESS);
    key(GLFW_KEY_A, GLFW_PRESS);
    EXPECT_EQ(moveDirection(), glm::vec3(-1.0f, 0.0f, -1.0f));
    key(GLFW_KEY_S, GLFW_PRESS);
    key(GLFW_KEY_D, GLFW_PRESS);
    EXPECT_EQ(moveDirection(), glm::vec3(0.0f));
    key(GLFW_KEY_W, GLFW_RELEASE);
    key(GLFW_KEY_A, GLFW_RELEASE);
    EXPECT_EQ(moveDirection(), glm::vec3(1.0f, 0.0f, 1.0f));

    key(GLFW_KEY_F, GLFW_PRESS);
    key(GLFW_KEY_R, GLFW_PRESS);
    key(GLFW_KEY_T, GLFW_PRESS);
    EXPECT_EQ(inputState().cameraVelocity, glm::vec3(-1.0f, 1.0f, -1.0f));
    key(GLFW_KEY_H, GLFW_RELEASE); // either key of a pair stops its axis
    EXPECT_EQ(inputState().cameraVelocity, glm::vec3(0.0f, 1.0f, -1.0f));

    key(GLFW_KEY_L, GLFW_PRESS);
    key(GLFW_KEY_O, GLFW_PRESS);
    key(GLFW_KEY_I, GLFW_PRESS);
    EXPECT_EQ(inputState().flameSteer, glm::vec3(1.0f, -1.0f, -1.0f));
    key(GLFW_KEY_U, GLFW_PRESS);
    key(GLFW_KEY_K, GLFW_PRESS);
    key(GLFW_KEY_J, GLFW_RELEASE);
    EXPECT_EQ(inputState().flameSteer, glm::vec3(0.0f, 1.0f, 1.0f));
}

TEST_F(Input, FunctionKeysFlipTheirSwitchOnRelease)
{
    for (int f : {GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F8, GLFW_KEY_F9})
        key(f, GLFW_PRESS);
    const DebugSwitches pressed = debugSwitches();
    EXPECT_FALSE(pressed.reportPending);
    EXPECT_TRUE(pressed.solidFill);

    for (int f : {GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F8, GLFW_KEY_F9})
        key(f, GLFW_RELEASE);
    const DebugSwitches& sw = debugSwitches();
    EXPECT_TRUE(sw.showFrametime);
    EXPECT_FALSE(sw.solidFill);
    EXPECT_TRUE(sw.linearSampling);
    EXPECT_FALSE(sw.viewFrustumCulling);
    EXPECT_FALSE(sw.invisTransparency);
    EXPECT_TRUE(sw.reportPending);
    EXPECT_EQ(inputState().lastKey, GLFW_KEY_F9);
}

TEST_F(Input, F5AdvancesTheMipmapLevelAndWrapsAfterPrintingThree)
{
    testing::internal::CaptureStdout();
    std::vector<int> stored;
    for (int i = 0; i < 3; ++i) {
        key(GLFW_KEY_F5, GLFW_PRESS);
        key(GLFW_KEY_F5, GLFW_RELEASE);
        stored.push_back(debugSwitches().mipmapLevel);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "status MipMap: 1\nstatus MipMap: 2\nstatus MipMap: 3\n");
    EXPECT_EQ(stored, (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(debugSwitches().reportPending);
}
