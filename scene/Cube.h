#pragma once
#include "scene/SceneObject.h"

// A stone column of the level, seen from its top face.
class Cube : public SceneObject {
public:
    explicit Cube(glm::vec3 position, ModelSource source = ModelSource::FromDisk);

    void draw(int pass) override;
    virtual void updateCube(float dt);

    glm::vec3 heroPosition{0.0f};
    bool broken = false;
};

// A column that fades once the hero steps into its cell and then breaks away.
class CubeInvis : public Cube {
public:
    explicit CubeInvis(const Cube& cube);

    void updateCube(float dt) override;
    virtual void drawTransparent(int pass, bool useTransparency);

    bool fading = false;
    float fadeRate = 0.75f;
};

// The invisible trigger of the level's end, reached by a hero in its cell on or above its
// top; never drawn by the passes.
class CubeFinish : public Cube {
public:
    explicit CubeFinish(glm::vec3 position, ModelSource source = ModelSource::FromDisk);

    void draw(int pass) override;
    void updateCube(float dt) override;

    bool reached = false;
};
