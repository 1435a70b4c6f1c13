#pragma once
#include "assets/Sound.h"
#include "scene/SceneObject.h"

// The chasing flame: the one enemy and the one light of a level.
class Flame : public SceneObject {
public:
    explicit Flame(glm::vec3 position);

    void update(double dt) override;
    // Where its light shines from: the flame itself, or while paused the light steered by hand.
    glm::vec3 light() const { return handSteering ? lightPosition : position; }

    // How far the lit scene's light reaches, whatever the hero's safe band.
    static constexpr float lightReach = 7.0f;

    glm::vec3 target{0.0f};
    glm::vec3 lightPosition{0.0f};
    glm::vec3 steeringVelocity{0.0f};
    glm::vec3 lightColor{1.0f};
    float maxDistance = 4.0f;
    float minDistance = 2.0f;
    bool handSteering = false;
    // The loudness it asked for since the game last took it.
    SoundRequests sounds;
};
