// The gamepad glue against a stand-in for GLFW's joystick functions, defined here and taken by the
// linker before the library's: no machine the tests run on has a pad (nor /dev/uinput to make
// one). Like GLFW, the stand-in forgets a pad's name before it reports the pad gone.
#include "app/GamepadDevice.h"
#include "game/InputState.h"
#include "game/Keys.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <array>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>

namespace {

struct FakeJoystick {
    bool present = false;
    bool gamepad = false;
    std::string name, guid;
    GLFWgamepadstate state{};
    bool goesWhenRead = false; // pulled out just as GLFW reads it
};

std::array<FakeJoystick, GLFW_JOYSTICK_LAST + 1> joysticks;
GLFWjoystickfun joystickCallback = nullptr;

void plugIn(int id, const std::string& name, bool gamepad = true, const std::string& guid = "")
{
    joysticks[id] = {true, gamepad, name, guid};
}

void pullOut(int id)
{
    joysticks[id].present = false;
    joystickCallback(id, GLFW_DISCONNECTED);
}

} // namespace

GLFWjoystickfun glfwSetJoystickCallback(GLFWjoystickfun callback)
{
    return std::exchange(joystickCallback, callback);
}

int glfwJoystickPresent(int id)
{
    return joysticks[id].present;
}

int glfwJoystickIsGamepad(int id)
{
    return joysticks[id].present && joysticks[id].gamepad;
}

const char* glfwGetJoystickName(int id)
{
    return joysticks[id].present ? joysticks[id].name.c_str() : nullptr;
}

const char* glfwGetJoystickGUID(int id)
{
    return joysticks[id].present ? joysticks[id].guid.c_str() : nullptr;
}

const char* glfwGetGamepadName(int id)
{
    return glfwJoystickIsGamepad(id) ? joysticks[id].name.c_str() : nullptr;
}

int glfwGetGamepadState(int id, GLFWgamepadstate* state)
{
    if (joysticks[id].present && joysticks[id].goesWhenRead)
        pullOut(id);
    if (!glfwJoystickIsGamepad(id))
        return GLFW_FALSE;
    *state = joysticks[id].state;
    return GLFW_TRUE;
}

TEST(Glue, PadsAreAnnouncedComingAndGoingAndThePadInUseDrivesOnTheWindowSystemsClock)
{
    InputState input;
    std::ostringstream console;
    const auto said = [&console] { return std::exchange(console, std::ostringstream()).str(); };
    plugIn(2, "Couch Pad");
    plugIn(4, "Flight Stick", false, "03000000aaaa0000bbbb000000000000");
    {
        GamepadDevice device(input, console);
        EXPECT_EQ(said(), "Gamepad connected: Couch Pad\n"
                          "No gamepad mapping for joystick: Flight Stick (GUID 03000000aaaa0000bbbb000000000000)\n");
        joysticks[2].state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = -1.0f;
        device.poll(10.0);
        EXPECT_TRUE(input.pad.left);

        // A second pad plugged in while the game runs takes over when it is used; pulled out
        // while its D-pad is held, the line names it and the direction goes.
        plugIn(0, "Handheld Controls");
        joystickCallback(0, GLFW_CONNECTED);
        EXPECT_EQ(said(), "Gamepad connected: Handheld Controls\n");
        joysticks[0].state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_UP] = GLFW_PRESS;
        device.poll(10.1);
        EXPECT_FALSE(input.pad.left);
        EXPECT_TRUE(input.pad.forward);
        pullOut(0);
        EXPECT_EQ(said(), "Gamepad disconnected: Handheld Controls\n");
        EXPECT_FALSE(input.pad.forward);

        // The pad left plays again; Back held counts the seconds between polls.
        joysticks[2].state.buttons[GLFW_GAMEPAD_BUTTON_BACK] = GLFW_PRESS;
        for (double now : {11.0, 11.25, 11.5, 11.75})
            device.poll(now);
        EXPECT_TRUE(input.pad.left);
        EXPECT_TRUE(input.keys.empty());
        device.poll(12.0);
        EXPECT_EQ(input.keys, std::vector<int>{Key::Escape});

        // GLFW may find a pad gone while it reads it, and report it from inside the read.
        joysticks[2].goesWhenRead = true;
        device.poll(12.1);
        EXPECT_FALSE(input.pad.left);
        EXPECT_EQ(said(), "Gamepad disconnected: Couch Pad\n");
        pullOut(4);
        EXPECT_EQ(said(), "") << "a joystick that was no pad goes without a line";
    }
    EXPECT_EQ(joystickCallback, nullptr) << "a device gone no longer listens";
}

TEST(Gamepad, GlfwStateReadsAsOurs)
{
    GLFWgamepadstate glfw{};
    glfw.buttons[GLFW_GAMEPAD_BUTTON_A] = glfw.buttons[GLFW_GAMEPAD_BUTTON_DPAD_LEFT] = GLFW_PRESS;
    glfw.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 0.5f;
    glfw.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    glfw.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.75f;
    PadState ours;
    ours.buttons[PadButton::South] = ours.buttons[PadButton::DpadLeft] = true;
    ours.axes[PadAxis::LeftX] = 0.5f;
    ours.axes[PadAxis::RightTrigger] = 0.75f;
    EXPECT_EQ(padStateOf(glfw).buttons, ours.buttons);
    EXPECT_EQ(padStateOf(glfw).axes, ours.axes);
}
