#include "game/Camera.h"

#include "game/ConsoleLines.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {
constexpr float leftAngle = 315.0f;
constexpr float rightAngle = 405.0f;
constexpr float swingSpeed = 75.0f; // degrees per second of game time
} // namespace

void Camera::changeSite(std::ostream& console)
{
    console << ConsoleLine::cameraSwing << (isLeft ? 1 : 0) << std::endl;
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

void Camera::follow(glm::vec3 heroPosition, glm::vec3 flamePosition)
{
    target = flamePosition + (heroPosition - flamePosition) * 2.0f / 3.0f;
    if (frozen) {
        eye = savedEye;
        return;
    }
    const float distance = glm::length(flamePosition - heroPosition);
    const float above = distance / 3.0f;
    const float away = static_cast<float>(0.75 * distance + 1.0);
    const float theta = glm::radians(angle);
    eye = target + glm::vec3(away * std::sin(theta), above, away * std::cos(theta));
    savedEye = eye;
}

glm::mat4 Camera::view() const
{
    return glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 computeView(Camera& camera, glm::vec3 heroPosition, glm::vec3 flamePosition)
{
    camera.follow(heroPosition, flamePosition);
    return camera.view();
}
