#pragma once
#include <glm/glm.hpp>
#include <iostream>
#include <vector>

struct DebugSwitches;

// What one source (the keyboard or the gamepad) holds down.
struct HeldControls {
    bool left = false;
    bool right = false;
    bool forward = false;
    bool back = false;
    glm::vec3 cameraVelocity{0.0f};
    glm::vec3 flameSteer{0.0f};
};

// What the key callback recorded since the last frame.
struct InputState {
    // Every key event of the frame that the rules act on, in order: one poll can bring a
    // held key's repeat after a Space, and the Space must not be lost to it.
    std::vector<int> keys;
    HeldControls held;

    // What the gamepad in use holds, beside the keys. Either source keeps a direction held,
    // so a key let go while the stick still points the same way changes nothing.
    HeldControls pad;
};

// The process-wide input the key callback records into.
InputState& inputState();

// Records one key event (key and action as in game/Keys.h): the held keys, the steering
// vectors, the debug switches (which change on release; F5 says so on `console`) and the
// frame's keys.
void recordKey(InputState& input, DebugSwitches& switches, int key, int action, std::ostream& console = std::cout);

// A stroke from the gamepad (a button standing for Space, Enter, Tab or Escape): acted on
// once, in the frame's order, like a press of that key.
void recordPadStroke(InputState& input, int key);

// Walking direction from the held keys and pad; opposite directions cancel.
glm::vec3 moveDirection(const InputState& input);

// The free camera's velocity and the flame's steering while paused, from keys and pad
// together: each component -1, 0 or +1, opposite directions cancelling.
glm::vec3 cameraFlight(const InputState& input);
glm::vec3 flameSteering(const InputState& input);
