#include "scene/Flame.h"
// placeholder: replaced by the real implementation
Flame::Flame(glm::vec3 p, ModelSource s) : SceneObject(p, "flame/flame", 1.0f, 0.25f, s) {}
void Flame::update(double) {}
void Flame::draw(int) {}
