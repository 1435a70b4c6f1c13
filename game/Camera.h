#pragma once
#include <glm/glm.hpp>
#include <ostream>

// The chase camera: swings between two sides behind the hero, or flies freely while paused.
struct Camera {
    float angle = 405.0f;
    bool isLeft = false;
    bool frozen = false;
    glm::vec3 eye{0.0f};
    glm::vec3 savedEye{0.0f};
    glm::vec3 velocity{0.0f};
    glm::vec3 target{0.0f}; // where it looks

    // Prints the side it leaves and swings to the other one.
    void changeSite(std::ostream& console);
    // One frame of swinging (or of free flight while frozen).
    void step(float dt);
    // Looks at the point two thirds of the way from the flame to the hero, from above and
    // behind on its side; a frozen camera keeps its eye and only turns.
    void follow(glm::vec3 heroPosition, glm::vec3 flamePosition);
    // The view from the eye to the target, as the last follow placed them.
    glm::mat4 view() const;
};

// Follows the hero and the flame and returns the view.
glm::mat4 computeView(Camera& camera, glm::vec3 heroPosition, glm::vec3 flamePosition);
