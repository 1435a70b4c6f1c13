#pragma once
#include <glm/glm.hpp>

struct DebugSwitches;
struct GLFWwindow;

// What the key callback recorded since the last frame.
struct InputState {
    int lastKey = 0;
    bool leftHeld = false;
    bool rightHeld = false;
    bool forwardHeld = false;
    bool backHeld = false;
    glm::vec3 cameraVelocity{0.0f};
    glm::vec3 flameSteer{0.0f};
};

// The process-wide input the key callback records into.
InputState& inputState();

// Records one key event: the held keys, the steering vectors, the debug switches (which
// change on release) and the frame's key.
void recordKey(InputState& input, DebugSwitches& switches, int key, int action);

// The GLFW key callback: records into the process-wide input and debug switches.
void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);

// Walking direction from the held keys; opposite keys cancel.
glm::vec3 moveDirection(const InputState& input);
