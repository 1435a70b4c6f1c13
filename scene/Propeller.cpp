#include "scene/Propeller.h"

#include <glm/gtc/matrix_transform.hpp>

Propeller::Propeller(glm::vec3 position) : SceneObject(position)
{}

void Propeller::updateWithParent(glm::mat4 parent, double dt)
{
    update(dt);
    modelMatrix = parent * modelMatrix;
}

// Builds the propeller in the hero's model space: a quarter-size model lying flat on the
// hero's head, 1.35 above its origin and 0.1 towards -z, spinning about its own axis.
void Propeller::update(double dt)
{
    spinAngle = static_cast<float>(spinAngle + 30.0 * dt);
    const glm::mat4 identity(1.0f);
    const glm::mat4 layFlat = glm::rotate(identity, glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    const glm::mat4 spin = glm::rotate(identity, glm::radians(spinAngle), glm::vec3(0.0f, 0.0f, 1.0f));
    const glm::mat4 lift = glm::translate(identity, glm::vec3(0.0f, 1.35f / scaleFactor, -0.4f));
    const glm::mat4 shrink = glm::scale(identity, glm::vec3(scaleFactor));
    modelMatrix = shrink * lift * spin * layFlat;
}
