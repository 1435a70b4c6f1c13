#include "scene/Bar.h"
// placeholder: replaced by the real implementation
Bar::Bar(glm::vec3 p, glm::vec3 c, ModelSource s) : SceneObject(p, "bar/bar", 1.0f, 3.0f, s), color(c) {}
void Bar::update(double) {}
void Bar::draw(int) {}
