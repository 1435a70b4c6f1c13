#pragma once
#include <glm/glm.hpp>
#include <iostream>
#include <vector>

struct DebugSwitches;

// What the key callback recorded since the last frame.
struct InputState {
    // Every key event of the frame that the rules act on, in order: one poll can bring a
    // held key's repeat after a Space, and the Space must not be lost to it.
    std::vector<int> keys;
    bool leftHeld = false;
    bool rightHeld = false;
    bool forwardHeld = false;
    bool backHeld = false;
    glm::vec3 cameraVelocity{0.0f};
    glm::vec3 flameSteer{0.0f};
};

// The process-wide input the key callback records into.
InputState& inputState();

// Records one key event (key and action as in game/Keys.h): the held keys, the steering
// vectors, the debug switches (which change on release; F5 says so on `console`) and the
// frame's keys.
void recordKey(InputState& input, DebugSwitches& switches, int key, int action, std::ostream& console = std::cout);

// Walking direction from the held keys; opposite keys cancel.
glm::vec3 moveDirection(const InputState& input);
