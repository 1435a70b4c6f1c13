#include "scene/PlaneAndPropeller.h"
// placeholder: replaced by the real implementation
Plane::Plane(glm::vec3 p, ModelSource s) : SceneObject(p, "plane/plane", 1.0f, 3.0f, s) {}
void Plane::draw(int) {}
Propeller::Propeller(glm::vec3 p, ModelSource s) : SceneObject(p, "propeller/propeller", 4.0f, 0.25f, s) {}
void Propeller::updateWithParent(glm::mat4, double) {}
void Propeller::update(double) {}
void Propeller::draw(int) {}
