#include "game/Gamepad.h"

#include "game/InputState.h"
#include "game/Keys.h"

#include <algorithm>
#include <cmath>

namespace {

// Each of the eight directions takes 45 degrees of the stick's circle: an axis counts while the
// stick is within 67.5 degrees of it, that is while its share of the push is at least sin 22.5.
const float axisShare = std::sin(glm::radians(22.5f));

// A frame stands for at most a quarter second (game/GameTime.h); the quit guard counts no
// more either, so a stall with Back just touched before and after does not quit.
constexpr double longestCountedStep = 0.25;

int pointed(float value, float length)
{
    if (std::fabs(value) < axisShare * length)
        return 0;
    return value < 0.0f ? -1 : 1;
}

float axis(bool negative, bool positive)
{
    return (positive ? 1.0f : 0.0f) - (negative ? 1.0f : 0.0f);
}

bool pressed(const PadState& pad, int button)
{
    return pad.buttons[static_cast<std::size_t>(button)];
}

float axisOf(const PadState& pad, int which)
{
    return pad.axes[static_cast<std::size_t>(which)];
}

glm::ivec2 leftStick(const PadState& pad)
{
    return stickDirection(axisOf(pad, PadAxis::LeftX), axisOf(pad, PadAxis::LeftY));
}

glm::ivec2 rightStick(const PadState& pad)
{
    return stickDirection(axisOf(pad, PadAxis::RightX), axisOf(pad, PadAxis::RightY));
}

} // namespace

glm::ivec2 stickDirection(float x, float y)
{
    const float length = std::hypot(x, y);
    if (length < stickDeadZone)
        return glm::ivec2(0);
    return glm::ivec2(pointed(x, length), pointed(y, length));
}

bool triggerPulled(float value)
{
    return value > 0.0f;
}

bool newlyUsed(const PadState& before, const PadState& now)
{
    for (std::size_t b = 0; b < now.buttons.size(); ++b)
        if (now.buttons[b] && !before.buttons[b])
            return true;
    const auto movedOut = [](glm::ivec2 was, glm::ivec2 is) { return was == glm::ivec2(0) && is != glm::ivec2(0); };
    const auto pulled = [&](int trigger) {
        return !triggerPulled(axisOf(before, trigger)) && triggerPulled(axisOf(now, trigger));
    };
    return movedOut(leftStick(before), leftStick(now)) || movedOut(rightStick(before), rightStick(now)) ||
           pulled(PadAxis::LeftTrigger) || pulled(PadAxis::RightTrigger);
}

void GamepadInput::feed(const PadState& pad, double seconds, InputState& input)
{
    holdDirections(pad, input);
    Strokes now;
    now.jump = pressed(pad, PadButton::South);
    now.swing = pressed(pad, PadButton::West) || pressed(pad, PadButton::North);
    now.pause = pressed(pad, PadButton::Start);
    strike(now, input);
    guardQuit(pressed(pad, PadButton::Back), seconds, input);
}

void GamepadInput::letGo(InputState& input)
{
    holdDirections(PadState{}, input);
    held_ = Strokes{};
    backHeld_ = false;
    backHeldFor_ = 0.0;
    quitSent_ = false;
}

// The stick and the D-pad hold the same four directions, either of them enough; opposite ones
// cancel, as A and D do. The same directions fly the camera while paused: the game reads the
// walking ones only while running and the flight only while paused.
void GamepadInput::holdDirections(const PadState& pad, InputState& input) const
{
    const glm::ivec2 stick = leftStick(pad);
    input.pad.left = stick.x < 0 || pressed(pad, PadButton::DpadLeft);
    input.pad.right = stick.x > 0 || pressed(pad, PadButton::DpadRight);
    input.pad.forward = stick.y < 0 || pressed(pad, PadButton::DpadUp);
    input.pad.back = stick.y > 0 || pressed(pad, PadButton::DpadDown);

    input.pad.cameraVelocity =
        glm::vec3(axis(input.pad.left, input.pad.right),
                  axis(pressed(pad, PadButton::LeftBumper), pressed(pad, PadButton::RightBumper)),
                  axis(input.pad.forward, input.pad.back));
    const glm::ivec2 flame = rightStick(pad);
    input.pad.flameSteer = glm::vec3(
        static_cast<float>(flame.x),
        axis(triggerPulled(axisOf(pad, PadAxis::LeftTrigger)), triggerPulled(axisOf(pad, PadAxis::RightTrigger))),
        static_cast<float>(flame.y));
}

// A stroke counts when its action goes down; West and North are one action, so pressing the
// second while the first is held swings the camera once, not twice.
void GamepadInput::strike(const Strokes& now, InputState& input)
{
    if (now.jump && !held_.jump)
        recordPadStroke(input, Key::Space);
    if (now.swing && !held_.swing)
        recordPadStroke(input, Key::Enter);
    if (now.pause && !held_.pause)
        recordPadStroke(input, Key::Tab);
    held_ = now;
}

// The time counts from the first look that sees Back down: when in the last frame it went
// down is not known.
void GamepadInput::guardQuit(bool backHeld, double seconds, InputState& input)
{
    if (!backHeld) {
        backHeld_ = false;
        backHeldFor_ = 0.0;
        quitSent_ = false;
        return;
    }
    if (backHeld_)
        backHeldFor_ += std::clamp(seconds, 0.0, longestCountedStep);
    backHeld_ = true;
    if (backHeldFor_ >= quitHoldSeconds && !quitSent_) {
        recordPadStroke(input, Key::Escape);
        quitSent_ = true;
    }
}

Gamepads::Pad* Gamepads::find(int id)
{
    const auto pad = std::find_if(connected_.begin(), connected_.end(), [id](const Pad& p) { return p.id == id; });
    return pad == connected_.end() ? nullptr : &*pad;
}

void Gamepads::connect(int id)
{
    if (find(id))
        return;
    connected_.push_back({id, PadState{}});
    if (inUse_ < 0)
        inUse_ = id;
}

void Gamepads::disconnect(int id, InputState& input)
{
    connected_.erase(std::remove_if(connected_.begin(), connected_.end(), [id](const Pad& p) { return p.id == id; }),
                     connected_.end());
    if (id != inUse_)
        return;
    input_.letGo(input);
    inUse_ = connected_.empty() ? -1 : connected_.front().id;
}

void Gamepads::see(int id, const PadState& state, InputState& input)
{
    Pad* pad = find(id);
    if (!pad)
        return;
    const bool used = newlyUsed(pad->state, state);
    pad->state = state;
    if (used && id != inUse_)
        takeOver(id, input);
}

// The new pad's buttons held now count as pressed: a press is what made it take over.
void Gamepads::takeOver(int id, InputState& input)
{
    input_.letGo(input);
    inUse_ = id;
}

void Gamepads::play(double seconds, InputState& input)
{
    if (const Pad* pad = find(inUse_))
        input_.feed(pad->state, seconds, input);
}
