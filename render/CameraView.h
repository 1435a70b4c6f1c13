#pragma once
#include <glm/glm.hpp>

struct Camera;

// The chase camera's view: it looks at the point two thirds of the way from the flame to the
// hero, from above and behind on its side. Stores the eye it used in the camera (a frozen
// camera keeps its eye and only turns).
glm::mat4 computeView(Camera& camera, glm::vec3 heroPosition, glm::vec3 flamePosition);

// The flame's view of the level for the shadow map: a very wide, short frustum...
glm::mat4 shadowProjection(float aspect);
// ...looking from the light at the hero.
glm::mat4 shadowView(glm::vec3 light, glm::vec3 hero);
