#pragma once
#include "scene/SceneObject.h"

// The player's figure: walks, jumps, sinks, lands on columns, and dies by falling or by
// straying out of the band 2 to 4 units ahead of the flame.
class Hero : public SceneObject {
public:
    explicit Hero(glm::vec3 position, ModelSource source = ModelSource::FromDisk);

    void draw(int pass) override;
    void setVelocity(glm::vec3 v) override;
    void jump() override;
    virtual void updateHero(double dt, glm::vec3 flamePosition);

    int groundHeight = 0;
    glm::vec3 jumpVelocity{0.0f};
    bool onGround = false;
    int lives = 4;
    bool died = false;
    bool aboveGround = false;
    float farMeter = 0.0f;
    float nearMeter = 0.0f;
};
