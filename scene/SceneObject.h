#pragma once
#include <glm/glm.hpp>

// What every object of a level has: where it is, and the matrix that places its model. Objects
// are state only; the renderer reads them to draw.
class SceneObject {
public:
    explicit SceneObject(glm::vec3 position) : position(position) {}
    virtual ~SceneObject() = default;
    SceneObject(const SceneObject&) = default;
    SceneObject& operator=(const SceneObject&) = default;

    // One frame of `dt` seconds of game time; most objects stand still.
    virtual void update(double dt);
    // The same for an object that rides on another, given the other's matrix.
    virtual void updateWithParent(glm::mat4 parent, double dt);

    glm::vec3 position;
    glm::mat4 modelMatrix{1.0f};
};
