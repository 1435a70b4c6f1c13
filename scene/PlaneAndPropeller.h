#pragma once
#include "scene/SceneObject.h"

// The full-screen quad the glow steps draw with.
class Plane : public SceneObject {
public:
    explicit Plane(glm::vec3 position, ModelSource source = ModelSource::FromDisk);

    void draw(int pass) override;
};

// The spinning propeller that rides on the hero's head.
class Propeller : public SceneObject {
public:
    explicit Propeller(glm::vec3 position, ModelSource source = ModelSource::FromDisk);

    void updateWithParent(glm::mat4 parent, double dt) override;
    void update(double dt) override;
    void draw(int pass) override;

    float spinAngle = 0.0f;
};
