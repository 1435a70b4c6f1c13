#include "game/Camera.h"

#include <iostream>

namespace {
constexpr float leftAngle = 315.0f;
constexpr float rightAngle = 405.0f;
constexpr float swingSpeed = 75.0f; // degrees per second of game time
} // namespace

void Camera::changeSite()
{
    std::cout << "change site isLeft: " << (isLeft ? 1 : 0) << std::endl;
    isLeft = !isLeft;
}

void Camera::step(float dt)
{
    if (frozen) {
        savedEye = savedEye + velocity * dt;
        return;
    }
    // The clamp comes one frame late on purpose: the swing never stops short of its side.
    if (isLeft)
        angle = angle > leftAngle ? angle - swingSpeed * dt : leftAngle;
    else
        angle = angle < rightAngle ? angle + swingSpeed * dt : rightAngle;
}
