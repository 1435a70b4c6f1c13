#include "game/InputState.h"

#include "game/ConsoleLines.h"
#include "game/DebugSwitches.h"
#include "game/Keys.h"

InputState& inputState()
{
    static InputState state;
    return state;
}

namespace {

// Enter, Space and Tab trigger one action per stroke, so their repeats and releases are dropped.
bool isStrokeKey(int key)
{
    return key == Key::Enter || key == Key::Space || key == Key::Tab;
}

void pressKey(InputState& in, int key)
{
    switch (key) {
    case Key::A: in.leftHeld = true; break;
    case Key::D: in.rightHeld = true; break;
    case Key::W: in.forwardHeld = true; break;
    case Key::S: in.backHeld = true; break;
    case Key::F: in.cameraVelocity.x = -1.0f; break;
    case Key::H: in.cameraVelocity.x = 1.0f; break;
    case Key::R: in.cameraVelocity.y = 1.0f; break;
    case Key::Z: in.cameraVelocity.y = -1.0f; break;
    case Key::G: in.cameraVelocity.z = 1.0f; break;
    case Key::T: in.cameraVelocity.z = -1.0f; break;
    case Key::J: in.flameSteer.x = -1.0f; break;
    case Key::L: in.flameSteer.x = 1.0f; break;
    case Key::O: in.flameSteer.y = -1.0f; break;
    case Key::U: in.flameSteer.y = 1.0f; break;
    case Key::I: in.flameSteer.z = -1.0f; break;
    case Key::K: in.flameSteer.z = 1.0f; break;
    default: break;
    }
}

// The debug switches change when their key comes back up.
void releaseFunctionKey(DebugSwitches& sw, int key, std::ostream& console)
{
    switch (key) {
    case Key::F2: sw.showFrametime = !sw.showFrametime; break;
    case Key::F3: sw.solidFill = !sw.solidFill; break;
    case Key::F4: sw.linearSampling = !sw.linearSampling; break;
    case Key::F8: sw.viewFrustumCulling = !sw.viewFrustumCulling; break;
    case Key::F9: sw.invisTransparency = !sw.invisTransparency; break;
    case Key::F5:
        sw.mipmapLevel = sw.mipmapLevel + 1;
        console << ConsoleLine::mipmapStatus << sw.mipmapLevel << std::endl;
        if (sw.mipmapLevel == 3)
            sw.mipmapLevel = 0;
        break;
    default: return;
    }
    sw.reportPending = true;
}

void releaseKey(InputState& in, DebugSwitches& switches, int key, std::ostream& console)
{
    switch (key) {
    case Key::A: in.leftHeld = false; break;
    case Key::D: in.rightHeld = false; break;
    case Key::W: in.forwardHeld = false; break;
    case Key::S: in.backHeld = false; break;
    case Key::F:
    case Key::H: in.cameraVelocity.x = 0.0f; break;
    case Key::R:
    case Key::Z: in.cameraVelocity.y = 0.0f; break;
    case Key::G:
    case Key::T: in.cameraVelocity.z = 0.0f; break;
    case Key::J:
    case Key::L: in.flameSteer.x = 0.0f; break;
    case Key::O:
    case Key::U: in.flameSteer.y = 0.0f; break;
    case Key::I:
    case Key::K: in.flameSteer.z = 0.0f; break;
    default: releaseFunctionKey(switches, key, console); break;
    }
}

} // namespace

void recordKey(InputState& in, DebugSwitches& switches, int key, int action, std::ostream& console)
{
    if (isStrokeKey(key)) {
        if (action == KeyAction::Press)
            in.keys.push_back(key);
        return;
    }
    if (action == KeyAction::Press)
        pressKey(in, key);
    else if (action == KeyAction::Release)
        releaseKey(in, switches, key, console);
    in.keys.push_back(key);
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
