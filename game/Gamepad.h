#pragma once
#include <array>
#include <glm/glm.hpp>
#include <vector>

struct InputState;

// A pad's buttons and axes, numbered as GLFW's standard gamepad layout numbers them (the
// layout the community's gamecontrollerdb.txt maps every pad onto). Face buttons are named by
// where they sit: South is A on an Xbox pad, Cross on a PlayStation pad.
namespace PadButton {
enum : int {
    South,
    East,
    West,
    North,
    LeftBumper,
    RightBumper,
    Back,
    Start,
    Guide,
    LeftThumb,
    RightThumb,
    DpadUp,
    DpadRight,
    DpadDown,
    DpadLeft,
    Count
};
}

namespace PadAxis {
enum : int { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger, Count };
}

// One look at a pad. Sticks read -1 to +1 with y growing downwards (pushed away from the
// player is -1); a trigger rests at -1 and reads +1 pulled all the way. A default PadState is
// a pad nobody touches.
struct PadState {
    std::array<bool, PadButton::Count> buttons{};
    std::array<float, PadAxis::Count> axes{0.0f, 0.0f, 0.0f, 0.0f, -1.0f, -1.0f};
};

// A stick pushed less than this far from its centre (of a full push, 1) counts as let go:
// worn sticks rest a little off centre, and a hero must not creep away on its own.
constexpr float stickDeadZone = 0.25f;
// Back must be held this many seconds of real time to quit; a stray press does nothing.
constexpr double quitHoldSeconds = 1.0;

// Where a stick points, as the keys would say it: x -1 left / +1 right, y -1 away from the
// player / +1 towards, each 0 when not pointed that way. Outside the dead zone the stick
// points to the nearest of eight directions, so diagonals run like two keys held together.
glm::ivec2 stickDirection(float x, float y);

// Whether a trigger is pulled: more than half way.
bool triggerPulled(float value);

// Whether a pad was just used: a button pressed, or a stick or trigger moved out of its rest,
// since the previous look. A pad left lying with a button down is not "used" over and over.
bool newlyUsed(const PadState& before, const PadState& now);

// Turns what one pad holds into the input the keys give: directions held beside the keys', and
// one stroke per press of a button that stands for Space, Enter or Tab. Escape comes only from
// Back held for quitHoldSeconds.
//
// Running: left stick or D-pad run (W/A/S/D), South jumps (Space), West or North swing the
// camera (Enter), Start pauses (Tab). Paused: left stick or D-pad fly the camera left / right
// and forward / back (F/H, T/G), the right and left bumpers up / down (R/Z); the right stick
// steers the flame left / right and forward / back (J/L, I/K), the right and left triggers up /
// down (U/O). East, Guide and the stick clicks do nothing.
class GamepadInput {
public:
    // One look at the pad in use: its state now and the seconds of real time since the last.
    void feed(const PadState& pad, double seconds, InputState& input);
    // The pad is gone, or another one took over: whatever it held is let go.
    void letGo(InputState& input);

private:
    struct Strokes {
        bool jump = false;
        bool swing = false;
        bool pause = false;
    };
    void holdDirections(const PadState& pad, InputState& input) const;
    void strike(const Strokes& now, InputState& input);
    void guardQuit(bool backHeld, double seconds, InputState& input);

    Strokes held_;
    bool backHeld_ = false;
    double backHeldFor_ = 0.0;
    bool quitSent_ = false;
};

// The pads connected, and which of them plays: the first connected, until another is used.
// Ids are the window system's joystick numbers.
class Gamepads {
public:
    void connect(int id);
    // A pad pulled out: if it was in use, what it held is let go and the earliest connected
    // of the others takes over.
    void disconnect(int id, InputState& input);
    // A new look at a connected pad. A pad that is used takes over from the one in use.
    void see(int id, const PadState& state, InputState& input);
    // Once per frame, after every pad was seen: the pad in use drives the input.
    void play(double seconds, InputState& input);

    // The pad in use, -1 when none is connected.
    int inUse() const { return inUse_; }

private:
    struct Pad {
        int id;
        PadState state;
    };
    Pad* find(int id);
    void takeOver(int id, InputState& input);

    std::vector<Pad> connected_; // in the order they were connected
    int inUse_ = -1;
    GamepadInput input_;
};
