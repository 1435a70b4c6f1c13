#include "scene/SceneObject.h"

void SceneObject::update(double)
{}
void SceneObject::updateWithParent(glm::mat4, double)
{}
