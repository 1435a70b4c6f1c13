#pragma once
#include <glm/glm.hpp>

// The chase camera: swings between two sides behind the hero, or flies freely while paused.
// The view it gives is the renderer's to compute.
struct Camera {
    float angle = 405.0f;
    bool isLeft = false;
    bool frozen = false;
    glm::vec3 eye{0.0f};
    glm::vec3 savedEye{0.0f};
    glm::vec3 velocity{0.0f};

    // Prints the side it leaves and swings to the other one.
    void changeSite();
    // One frame of swinging (or of free flight while frozen).
    void step(float dt);
};
