#pragma once
#include "scene/SceneObject.h"

// A flat HUD rectangle whose width shows a value from 0 to 1.
class Bar : public SceneObject {
public:
    Bar(glm::vec3 position, glm::vec3 color);

    void update(double dt) override;

    glm::vec3 color;
    glm::vec3 neutralColor{0.8f, 0.8f, 0.8f};
    float value = 1.0f;
};
