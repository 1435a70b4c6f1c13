#include "game/InputState.h"

#include "game/DebugSwitches.h"
#include "game/Keys.h"

#include <iostream>

InputState& inputState()
{
    static InputState state;
    return state;
}

namespace {

// Enter, Space and Tab trigger one action per stroke, so their repeats and releases are dropped.
bool isStrokeKey(int key)
{
    return key == GLFW_KEY_ENTER || key == GLFW_KEY_SPACE || key == GLFW_KEY_TAB;
}

void pressKey(InputState& in, int key)
{
    switch (key) {
    case GLFW_KEY_A: in.leftHeld = true; break;
    case GLFW_KEY_D: in.rightHeld = true; break;
    case GLFW_KEY_W: in.forwardHeld = true; break;
    case GLFW_KEY_S: in.backHeld = true; break;
    case GLFW_KEY_F: in.cameraVelocity.x = -1.0f; break;
    case GLFW_KEY_H: in.cameraVelocity.x = 1.0f; break;
    case GLFW_KEY_R: in.cameraVelocity.y = 1.0f; break;
    case GLFW_KEY_Z: in.cameraVelocity.y = -1.0f; break;
    case GLFW_KEY_G: in.cameraVelocity.z = 1.0f; break;
    case GLFW_KEY_T: in.cameraVelocity.z = -1.0f; break;
    case GLFW_KEY_J: in.flameSteer.x = -1.0f; break;
    case GLFW_KEY_L: in.flameSteer.x = 1.0f; break;
    case GLFW_KEY_O: in.flameSteer.y = -1.0f; break;
    case GLFW_KEY_U: in.flameSteer.y = 1.0f; break;
    case GLFW_KEY_I: in.flameSteer.z = -1.0f; break;
    case GLFW_KEY_K: in.flameSteer.z = 1.0f; break;
    default: break;
    }
}

// The debug switches change when their key comes back up.
void releaseFunctionKey(DebugSwitches& sw, int key)
{
    switch (key) {
    case GLFW_KEY_F2: sw.showFrametime = !sw.showFrametime; break;
    case GLFW_KEY_F3: sw.solidFill = !sw.solidFill; break;
    case GLFW_KEY_F4: sw.linearSampling = !sw.linearSampling; break;
    case GLFW_KEY_F8: sw.viewFrustumCulling = !sw.viewFrustumCulling; break;
    case GLFW_KEY_F9: sw.invisTransparency = !sw.invisTransparency; break;
    case GLFW_KEY_F5:
        sw.mipmapLevel = sw.mipmapLevel + 1;
        std::cout << "status MipMap: " << sw.mipmapLevel << std::endl;
        if (sw.mipmapLevel == 3)
            sw.mipmapLevel = 0;
        break;
    default: return;
    }
    sw.reportPending = true;
}

void releaseKey(InputState& in, DebugSwitches& switches, int key)
{
    switch (key) {
    case GLFW_KEY_A: in.leftHeld = false; break;
    case GLFW_KEY_D: in.rightHeld = false; break;
    case GLFW_KEY_W: in.forwardHeld = false; break;
    case GLFW_KEY_S: in.backHeld = false; break;
    case GLFW_KEY_F:
    case GLFW_KEY_H: in.cameraVelocity.x = 0.0f; break;
    case GLFW_KEY_R:
    case GLFW_KEY_Z: in.cameraVelocity.y = 0.0f; break;
    case GLFW_KEY_G:
    case GLFW_KEY_T: in.cameraVelocity.z = 0.0f; break;
    case GLFW_KEY_J:
    case GLFW_KEY_L: in.flameSteer.x = 0.0f; break;
    case GLFW_KEY_O:
    case GLFW_KEY_U: in.flameSteer.y = 0.0f; break;
    case GLFW_KEY_I:
    case GLFW_KEY_K: in.flameSteer.z = 0.0f; break;
    default: releaseFunctionKey(switches, key); break;
    }
}

} // namespace

void recordKey(InputState& in, DebugSwitches& switches, int key, int action)
{
    if (isStrokeKey(key)) {
        if (action == GLFW_PRESS)
            in.keys.push_back(key);
        return;
    }
    if (action == GLFW_PRESS)
        pressKey(in, key);
    else if (action == GLFW_RELEASE)
        releaseKey(in, switches, key);
    in.keys.push_back(key);
}

void onKey(GLFWwindow*, int key, int, int action, int)
{
    recordKey(inputState(), debugSwitches(), key, action);
}

void recordPadStroke(InputState& in, int key)
{
    in.keys.push_back(key);
}

glm::vec3 moveDirection(const InputState& in)
{
    float x = 0.0f;
    float z = 0.0f;
    if (in.leftHeld || in.padLeftHeld)
        x = -1.0f;
    if (in.rightHeld || in.padRightHeld)
        x = x + 1.0f;
    if (in.forwardHeld || in.padForwardHeld)
        z = -1.0f;
    if (in.backHeld || in.padBackHeld)
        z = z + 1.0f;
    return glm::vec3(x, 0.0f, z);
}

glm::vec3 cameraFlight(const InputState& in)
{
    return glm::clamp(in.cameraVelocity + in.padCameraVelocity, -1.0f, 1.0f);
}

glm::vec3 flameSteering(const InputState& in)
{
    return glm::clamp(in.flameSteer + in.padFlameSteer, -1.0f, 1.0f);
}
