#pragma once
#include <glm/glm.hpp>

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

InputState& inputState();

// The GLFW key callback.
void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);

// Walking direction from the held keys; opposite keys cancel.
glm::vec3 moveDirection();
