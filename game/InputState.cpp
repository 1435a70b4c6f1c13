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

// The walking keys each hold a direction of their own, so opposite ones held together cancel.
struct DirectionKey {
    int key;
    bool HeldControls::*direction;
};

constexpr DirectionKey directionKeys[] = {
    {Key::A, &HeldControls::left},
    {Key::D, &HeldControls::right},
    {Key::W, &HeldControls::forward},
    {Key::S, &HeldControls::back},
};

// The camera's and the flame's keys share an axis in pairs: the later press wins, and letting
// go of either stops the axis.
struct AxisKey {
    int key;
    glm::vec3 HeldControls::*vector;
    int axis;
    float value;
};

constexpr AxisKey axisKeys[] = {
    {Key::F, &HeldControls::cameraVelocity, 0, -1.0f}, {Key::H, &HeldControls::cameraVelocity, 0, 1.0f},
    {Key::R, &HeldControls::cameraVelocity, 1, 1.0f},  {Key::Z, &HeldControls::cameraVelocity, 1, -1.0f},
    {Key::G, &HeldControls::cameraVelocity, 2, 1.0f},  {Key::T, &HeldControls::cameraVelocity, 2, -1.0f},
    {Key::J, &HeldControls::flameSteer, 0, -1.0f},     {Key::L, &HeldControls::flameSteer, 0, 1.0f},
    {Key::O, &HeldControls::flameSteer, 1, -1.0f},     {Key::U, &HeldControls::flameSteer, 1, 1.0f},
    {Key::I, &HeldControls::flameSteer, 2, -1.0f},     {Key::K, &HeldControls::flameSteer, 2, 1.0f},
};

// Holds or lets go of what `key` drives; false when it drives nothing held.
bool holdKey(HeldControls& held, int key, bool down)
{
    for (const DirectionKey& d : directionKeys) {
        if (d.key == key) {
            held.*d.direction = down;
            return true;
        }
    }
    for (const AxisKey& a : axisKeys) {
        if (a.key == key) {
            (held.*a.vector)[a.axis] = down ? a.value : 0.0f;
            return true;
        }
    }
    return false;
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

} // namespace

void recordKey(InputState& in, DebugSwitches& switches, int key, int action, std::ostream& console)
{
    if (isStrokeKey(key)) {
        if (action == KeyAction::Press)
            in.keys.push_back(key);
        return;
    }
    if (action == KeyAction::Press)
        holdKey(in.held, key, true);
    else if (action == KeyAction::Release && !holdKey(in.held, key, false))
        releaseFunctionKey(switches, key, console);
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
    if (in.held.left || in.pad.left)
        x = -1.0f;
    if (in.held.right || in.pad.right)
        x = x + 1.0f;
    if (in.held.forward || in.pad.forward)
        z = -1.0f;
    if (in.held.back || in.pad.back)
        z = z + 1.0f;
    return glm::vec3(x, 0.0f, z);
}

glm::vec3 cameraFlight(const InputState& in)
{
    return glm::clamp(in.held.cameraVelocity + in.pad.cameraVelocity, -1.0f, 1.0f);
}

glm::vec3 flameSteering(const InputState& in)
{
    return glm::clamp(in.held.flameSteer + in.pad.flameSteer, -1.0f, 1.0f);
}
