// The gamepad glue against a stand-in for GLFW's joystick functions. No machine the tests run
// on has a pad (nor /dev/uinput to make one), so this program defines the few joystick
// functions the glue calls itself; the linker takes them before the library's. The stand-in
// plugs pads in and out, moves their sticks and, like GLFW, forgets a pad's name before it
// reports the pad gone.
#include "app/GamepadDevice.h"
#include "game/InputState.h"
#include "game/Keys.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <array>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

struct FakeJoystick {
    bool present = false;
    bool gamepad = false;
    std::string name;
    std::string guid;
    GLFWgamepadstate state{};
    bool goesWhenRead = false; // pulled out just as GLFW reads it
};

std::array<FakeJoystick, GLFW_JOYSTICK_LAST + 1> joysticks;
GLFWjoystickfun joystickCallback = nullptr;

FakeJoystick* present(int id)
{
    if (id < 0 || id > GLFW_JOYSTICK_LAST || !joysticks[static_cast<std::size_t>(id)].present)
        return nullptr;
    return &joysticks[static_cast<std::size_t>(id)];
}

GLFWgamepadstate atRest()
{
    GLFWgamepadstate state{};
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    return state;
}

void plugIn(int id, const std::string& name, bool gamepad = true, const std::string& guid = "")
{
    joysticks[static_cast<std::size_t>(id)] = {true, gamepad, name, guid, atRest(), false};
}

void pullOut(int id)
{
    joysticks[static_cast<std::size_t>(id)].present = false;
    if (joystickCallback)
        joystickCallback(id, GLFW_DISCONNECTED);
}

void reportConnected(int id)
{
    if (joystickCallback)
        joystickCallback(id, GLFW_CONNECTED);
}

GLFWgamepadstate& stateOf(int id)
{
    return joysticks[static_cast<std::size_t>(id)].state;
}

} // namespace

GLFWjoystickfun glfwSetJoystickCallback(GLFWjoystickfun callback)
{
    const GLFWjoystickfun previous = joystickCallback;
    joystickCallback = callback;
    return previous;
}

int glfwJoystickPresent(int id)
{
    return present(id) ? GLFW_TRUE : GLFW_FALSE;
}

int glfwJoystickIsGamepad(int id)
{
    const FakeJoystick* joystick = present(id);
    return joystick && joystick->gamepad ? GLFW_TRUE : GLFW_FALSE;
}

const char* glfwGetJoystickName(int id)
{
    const FakeJoystick* joystick = present(id);
    return joystick ? joystick->name.c_str() : nullptr;
}

const char* glfwGetJoystickGUID(int id)
{
    const FakeJoystick* joystick = present(id);
    return joystick ? joystick->guid.c_str() : nullptr;
}

const char* glfwGetGamepadName(int id)
{
    const FakeJoystick* joystick = present(id);
    return joystick && joystick->gamepad ? joystick->name.c_str() : nullptr;
}

int glfwGetGamepadState(int id, GLFWgamepadstate* state)
{
    FakeJoystick* joystick = present(id);
    if (joystick && joystick->goesWhenRead) {
        pullOut(id);
        return GLFW_FALSE;
    }
    if (!joystick || !joystick->gamepad)
        return GLFW_FALSE;
    *state = joystick->state;
    return GLFW_TRUE;
}

namespace {

class Glue : public ::testing::Test {
protected:
    void SetUp() override
    {
        joysticks = {};
        joystickCallback = nullptr;
    }

    std::string takeConsole()
    {
        const std::string text = console.str();
        console.str("");
        return text;
    }

    std::ostringstream console;
    InputState input;
};

} // namespace

TEST_F(Glue, PadsAreAnnouncedComingAndGoingAndThePadInUseDrives)
{
    plugIn(2, "Couch Pad");
    plugIn(4, "Flight Stick", false, "03000000aaaa0000bbbb000000000000");
    {
        GamepadDevice device(input, console);
        EXPECT_EQ(takeConsole(),
                  "Gamepad connected: Couch Pad\n"
                  "No gamepad mapping for joystick: Flight Stick (GUID 03000000aaaa0000bbbb000000000000)\n");
        ASSERT_NE(joystickCallback, nullptr);

        stateOf(2).axes[GLFW_GAMEPAD_AXIS_LEFT_X] = -1.0f;
        stateOf(2).buttons[GLFW_GAMEPAD_BUTTON_A] = KeyAction::Press;
        device.poll(10.0);
        EXPECT_TRUE(input.padLeftHeld);
        EXPECT_EQ(input.keys, (std::vector<int>{Key::Space}));
        input.keys.clear();

        // A second pad plugged in while the game runs; the first keeps playing until it is used.
        plugIn(0, "Handheld Controls");
        reportConnected(0);
        EXPECT_EQ(takeConsole(), "Gamepad connected: Handheld Controls\n");
        device.poll(10.1);
        EXPECT_TRUE(input.padLeftHeld);
        stateOf(0).buttons[GLFW_GAMEPAD_BUTTON_START] = KeyAction::Press;
        device.poll(10.2);
        EXPECT_FALSE(input.padLeftHeld) << "the new pad took over";
        EXPECT_EQ(input.keys, (std::vector<int>{Key::Tab}));

        // Pulled out while its D-pad is held: the line names it, and the direction goes.
        stateOf(0).buttons[GLFW_GAMEPAD_BUTTON_DPAD_UP] = KeyAction::Press;
        device.poll(10.3);
        EXPECT_TRUE(input.padForwardHeld);
        pullOut(0);
        EXPECT_EQ(takeConsole(), "Gamepad disconnected: Handheld Controls\n");
        EXPECT_FALSE(input.padForwardHeld);
        device.poll(10.4);
        EXPECT_TRUE(input.padLeftHeld) << "the pad left plays again";

        pullOut(4);
        EXPECT_EQ(takeConsole(), "") << "a joystick that was no pad goes without a line";
    }
    EXPECT_EQ(joystickCallback, nullptr) << "a device gone no longer listens";
}

TEST_F(Glue, APadFoundGoneWhileItIsReadLetsGo)
{
    plugIn(1, "Worn Pad");
    GamepadDevice device(input, console);
    stateOf(1).axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 1.0f;
    device.poll(0.0);
    ASSERT_TRUE(input.padBackHeld);
    joysticks[1].goesWhenRead = true;
    device.poll(0.1);
    EXPECT_FALSE(input.padBackHeld);
    EXPECT_EQ(takeConsole(), "Gamepad connected: Worn Pad\nGamepad disconnected: Worn Pad\n");
    device.poll(0.2);
}

TEST_F(Glue, BackCountsTheWindowSystemsClock)
{
    plugIn(0, "Pad");
    GamepadDevice device(input, console);
    stateOf(0).buttons[GLFW_GAMEPAD_BUTTON_BACK] = KeyAction::Press;
    device.poll(100.0);
    device.poll(100.25);
    device.poll(100.5);
    device.poll(100.75);
    EXPECT_TRUE(input.keys.empty());
    device.poll(101.0);
    EXPECT_EQ(input.keys, (std::vector<int>{Key::Escape}));
}

TEST(Gamepad, GlfwStateReadsAsOurs)
{
    GLFWgamepadstate glfw{};
    for (float& axis : glfw.axes)
        axis = 0.0f;
    glfw.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    glfw.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.75f;
    glfw.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = -0.5f;
    glfw.buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
    glfw.buttons[GLFW_GAMEPAD_BUTTON_DPAD_LEFT] = GLFW_PRESS;
    glfw.buttons[GLFW_GAMEPAD_BUTTON_BACK] = GLFW_RELEASE;

    const PadState pad = padStateOf(glfw);
    PadState expected;
    expected.axes[PadAxis::RightY] = -0.5f;
    expected.axes[PadAxis::RightTrigger] = 0.75f;
    expected.buttons[PadButton::South] = true;
    expected.buttons[PadButton::DpadLeft] = true;
    EXPECT_EQ(pad.buttons, expected.buttons);
    EXPECT_EQ(pad.axes, expected.axes);
}
