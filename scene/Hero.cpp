#include "scene/Hero.h"

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float sinkSpeed = 2.0f;
constexpr float jumpSpeed = 4.8f;
constexpr float jumpFade = 3.0f;

// Only a hero that started the frame at or above its column can come to rest on it; one
// that walked into a higher column sinks through it.
void land(Hero& hero, float& y)
{
    if (std::trunc(y) < static_cast<float>(hero.groundHeight) && hero.aboveGround) {
        hero.onGround = true;
        y = static_cast<float>(hero.groundHeight);
    } else {
        hero.onGround = false;
    }
    hero.aboveGround = false;
}

} // namespace

Hero::Hero(glm::vec3 position) : SceneObject(position)
{}

void Hero::setVelocity(glm::vec3 v)
{
    velocity = v;
}

void Hero::jump()
{
    if (onGround)
        jumpVelocity = glm::vec3(0.0f, jumpSpeed, 0.0f);
    sounds.play(Sound::Jump, false);
}

// Only the distance along the level counts: the hero must stay 2 to 4 units ahead.
void Hero::updateMeters(double dt, float flameDistance)
{
    const double d = flameDistance;
    if (d < 2.0) {
        nearMeter = static_cast<float>(nearMeter + (2.0 - d) * dt * 0.4);
        sounds.play(Sound::HeroBurning, false);
    } else if (d > 4.0) {
        farMeter = static_cast<float>(farMeter + std::min(d - 4.0, 3.0) * dt * 0.7);
    } else {
        farMeter = static_cast<float>(std::max(farMeter - 0.05 * dt, 0.0));
        nearMeter = static_cast<float>(std::max(nearMeter - 0.05 * dt, 0.0));
    }
}

void Hero::updateHero(double dt, glm::vec3 flamePosition)
{
    const float dtF = static_cast<float>(dt);
    if (position.y >= static_cast<float>(groundHeight))
        aboveGround = true;

    const glm::vec3 next = position + velocity * dtF * walkScale;
    if (next != position)
        sounds.play(Sound::Footsteps, false);

    glm::vec3 moved(next.x + jumpVelocity.x * dtF, next.y - sinkSpeed * dtF + jumpVelocity.y * dtF,
                    next.z + jumpVelocity.z * dtF);
    jumpVelocity.y -= jumpFade * dtF;
    if (jumpVelocity.y < 0.0f)
        jumpVelocity.y = 0.0f;

    land(*this, moved.y);
    modelMatrix = glm::translate(glm::mat4(1.0f), moved);
    velocity = glm::vec3(0.0f);
    position = moved;

    updateMeters(dt, std::fabs(moved.z - flamePosition.z));
    if (!died && (nearMeter >= 1.0f || farMeter >= 1.0f))
        died = true;
    if (moved.y < 0.0f)
        died = true;
    if (moved.y < 1.0f)
        sounds.play(Sound::Falling, false);
    if (died)
        lives -= 1;
}
