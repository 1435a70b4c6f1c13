#pragma once
#include "scene/SceneObject.h"

// The chasing flame: the one enemy and the one light of a level.
class Flame : public SceneObject {
public:
    explicit Flame(glm::vec3 position, ModelSource source = ModelSource::FromDisk);

    void update(double dt) override;
    void draw(int pass) override;

    glm::vec3 target{0.0f};
    glm::vec3 lightPosition{0.0f};
    glm::vec3 steeringVelocity{0.0f};
    glm::vec3 lightColor{1.0f};
    float maxDistance = 4.0f;
    float minDistance = 2.0f;
    bool handSteering = false;
};
