#include "scene/Cube.h"
// placeholder: replaced by the real implementation
Cube::Cube(glm::vec3 p, ModelSource s) : SceneObject(p, "cube/cube", 2.0f, 1.0f, s) {}
void Cube::draw(int) {}
void Cube::updateCube(float) {}
CubeInvis::CubeInvis(const Cube& c) : Cube(c) {}
void CubeInvis::updateCube(float) {}
void CubeInvis::drawTransparent(int, bool) {}
CubeFinish::CubeFinish(glm::vec3 p, ModelSource s) : Cube(p, s) {}
void CubeFinish::draw(int) {}
void CubeFinish::updateCube(float) {}
