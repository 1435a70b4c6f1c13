#pragma once
#include <glm/glm.hpp>

// The flame's view of the level for the shadow map: a very wide, short frustum...
glm::mat4 shadowProjection(float aspect);
// ...looking from the light at the hero.
glm::mat4 shadowView(glm::vec3 light, glm::vec3 hero);
