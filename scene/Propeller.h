#pragma once
#include "scene/SceneObject.h"

// The spinning propeller that rides on the hero's head.
class Propeller : public SceneObject {
public:
    explicit Propeller(glm::vec3 position);

    void updateWithParent(glm::mat4 parent, double dt) override;
    void update(double dt) override;

    float spinAngle = 0.0f;
    float scaleFactor = 0.25f; // of its model
};
