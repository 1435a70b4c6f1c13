#include "scene/Bar.h"

#include <glm/gtc/matrix_transform.hpp>

Bar::Bar(glm::vec3 position, glm::vec3 color) : SceneObject(position), color(color)
{}

void Bar::update(double)
{
    // Nothing clamps the value: a meter that overshot for a frame shows as a wider bar.
    const glm::mat4 stretch = glm::scale(glm::mat4(1.0f), glm::vec3(value, 0.05f, 1.0f));
    modelMatrix = glm::translate(glm::mat4(1.0f), position) * stretch;
}
