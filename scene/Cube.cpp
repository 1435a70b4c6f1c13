#include "scene/Cube.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

Cube::Cube(glm::vec3 position) : SceneObject(position)
{
    Cube::updateCube(0.0f);
}

void Cube::updateCube(float)
{
    modelMatrix = glm::translate(glm::mat4(1.0f), position);
}

CubeInvis::CubeInvis(glm::vec3 position) : Cube(position)
{}

void CubeInvis::updateCube(float dt)
{
    // The fading area is shifted by 0.2 against the cell, and the hero's height does not
    // count: jumping over the cube starts it fading too.
    if (std::trunc(heroPosition.x + 0.2f) == position.x && std::trunc(heroPosition.z + 0.2f) == position.z)
        fading = true;
    if (fading)
        transparency -= fadeRate * dt;
    if (transparency < 0.0f) {
        broken = true;
        fading = false;
    }
    Cube::updateCube(dt);
}

CubeFinish::CubeFinish(glm::vec3 position) : Cube(position)
{}

void CubeFinish::updateCube(float)
{
    // The hero must be in the finish's cell and on or above its top: one that has dived into
    // a column too high to climb and sinks inside it below the finish has not reached it.
    constexpr float topTolerance = 0.1f;
    reached = std::trunc(heroPosition.x) == position.x && std::trunc(heroPosition.z) == position.z &&
              heroPosition.y >= position.y - topTolerance;
}
