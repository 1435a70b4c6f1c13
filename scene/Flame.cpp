#include "scene/Flame.h"

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float chaseSpeed = 0.9f;
constexpr float restDistance = 0.8f;

// Light colour by the hero's distance: white in the safe band, blue when the hero is too
// far ahead, red-orange when it is too close.
glm::vec3 distanceColor(float d, float minDistance, float maxDistance)
{
    if (d > maxDistance - 0.5f) {
        const float c = std::clamp(d - maxDistance + 0.5f, 0.0f, 1.0f);
        return glm::vec3(1.0f - c, 1.0f - c, 1.0f);
    }
    if (d < minDistance + 0.5f) {
        const float c = std::clamp(minDistance - d + 0.5f, 0.0f, 1.0f);
        return glm::vec3(1.0f, 1.0f - 0.75f * c, 1.0f - c);
    }
    return glm::vec3(1.0f);
}

} // namespace

Flame::Flame(glm::vec3 position) : SceneObject(position)
{}

void Flame::update(double dt)
{
    const float dtF = static_cast<float>(dt);
    if (handSteering) {
        lightPosition += steeringVelocity * dtF;
        modelMatrix = glm::translate(glm::mat4(1.0f), lightPosition);
        return;
    }

    // The flame aims one unit above the hero, but only the distance along the level
    // sets its pace: it divides by the z gap, not by the length of the way.
    const glm::vec3 toTarget(target.x - position.x, target.y + 1.0f - position.y, target.z - position.z);
    const double dz = static_cast<double>(position.z) - static_cast<double>(target.z);
    const float d = static_cast<float>(std::sqrt(dz * dz));
    glm::vec3 dir(0.0f);
    if (d > restDistance)
        dir = toTarget / d * std::max(d / 5.0f, 1.0f) * chaseSpeed;

    lightColor = distanceColor(d, minDistance, maxDistance);
    sounds.setVolume((1.0f - d * 0.5f / maxDistance) * 0.33f + 0.7f);

    const glm::vec3 step = dir * dtF;
    position += step;
    // The model runs one step ahead of the flame's position, which leads its glow a little.
    modelMatrix = glm::translate(glm::mat4(1.0f), step) * glm::translate(glm::mat4(1.0f), position);
    lightPosition = position;
}
