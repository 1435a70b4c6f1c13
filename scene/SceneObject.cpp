#include "scene/SceneObject.h"
// placeholder: replaced by the real implementation
SceneObject::SceneObject(glm::vec3 p, const std::string&, float u, float s, ModelSource)
    : position(p), uvScale(u), scaleFactor(s) {}
void SceneObject::updateWithParent(glm::mat4, double) {}
void SceneObject::update(double) {}
void SceneObject::draw(int) {}
void SceneObject::setVelocity(glm::vec3) {}
void SceneObject::jump() {}
void SceneObject::playSound(int, bool) {}
void SceneObject::uploadModelMatrix(int) const {}
