#include "render/CameraView.h"

#include "game/Camera.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

glm::mat4 computeView(Camera& camera, glm::vec3 heroPosition, glm::vec3 flamePosition)
{
    const glm::vec3 target = flamePosition + (heroPosition - flamePosition) * 2.0f / 3.0f;
    if (camera.frozen) {
        camera.eye = camera.savedEye;
    } else {
        const float distance = glm::length(flamePosition - heroPosition);
        const float above = distance / 3.0f;
        const float away = static_cast<float>(0.75 * distance + 1.0);
        const float theta = glm::radians(camera.angle);
        camera.eye = target + glm::vec3(away * std::sin(theta), above, away * std::cos(theta));
        camera.savedEye = camera.eye;
    }
    return glm::lookAt(camera.eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
}

// The flame sits close behind the hero and must see most of the level around it.
glm::mat4 shadowProjection(float aspect)
{
    return glm::perspective(glm::radians(160.0f), aspect, 0.01f, 10.0f);
}

// With the light straight above or below the hero the usual up vector is parallel to the
// view and lookAt would give NaNs, so another one is taken for that case.
glm::mat4 shadowView(glm::vec3 light, glm::vec3 hero)
{
    glm::vec3 up(0.0f, 1.0f, 0.0f);
    if (glm::length(glm::cross(hero - light, up)) < 1e-6f)
        up = glm::vec3(0.0f, 0.0f, -1.0f);
    return glm::lookAt(light, hero, up);
}
