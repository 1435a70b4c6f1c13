#pragma once
#include "scene/SceneObject.h"

// A stone column of the level, seen from its top face. Columns never move: the matrix is set
// when the cube is made.
class Cube : public SceneObject {
public:
    explicit Cube(glm::vec3 position);

    virtual void updateCube(float dt);

    glm::vec3 heroPosition{0.0f};
    bool broken = false;
};

// A column that fades once the hero steps into its cell and then breaks away.
class CubeInvis : public Cube {
public:
    explicit CubeInvis(glm::vec3 position);

    void updateCube(float dt) override;

    bool fading = false;
    float fadeRate = 0.75f;
    float transparency = 1.0f; // its opacity while it fades
};

// The invisible trigger of the level's end, reached by a hero in its cell on or above its
// top; never drawn.
class CubeFinish : public Cube {
public:
    explicit CubeFinish(glm::vec3 position);

    void updateCube(float dt) override;

    bool reached = false;
};
