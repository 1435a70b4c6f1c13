#include "render/CameraView.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

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
