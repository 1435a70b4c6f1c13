#pragma once
#include "assets/Sound.h"
#include "scene/SceneObject.h"

// The player's figure: walks, jumps, sinks, lands on columns, and dies by falling or by
// straying out of the band 2 to 4 units ahead of the flame.
class Hero : public SceneObject {
public:
    explicit Hero(glm::vec3 position);

    // The walking velocity for the next update only.
    void setVelocity(glm::vec3 v);
    // Takes off when on the ground; the jump's sound is asked for either way.
    void jump();
    void updateHero(double dt, glm::vec3 flamePosition);

    // The share of its steered velocity the hero walks in an update.
    static constexpr float walkScale = 0.75f;

    glm::vec3 velocity{0.0f};
    int groundHeight = 0;
    glm::vec3 jumpVelocity{0.0f};
    bool onGround = false;
    int lives = 4;
    bool died = false;
    bool aboveGround = false;
    float farMeter = 0.0f;
    float nearMeter = 0.0f;
    // The sounds it asked for since the game last took them.
    SoundRequests sounds;

private:
    void updateMeters(double dt, float flameDistance);
};
