#include "game/Game.h"

#include "app/DebugSwitches.h"
#include "game/InputState.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/LevelReader.h"
#include "scene/PlaneAndPropeller.h"

#include <GLFW/glfw3.h>
#include <cmath>
#include <iostream>

namespace {

constexpr int lastLevel = 3;
constexpr float groundSpeed = 2.5f;
constexpr float airSpeed = 1.5f;
const glm::vec3 heroRespawnLift(0.0f, 0.1f, 0.0f);
const glm::vec3 flameStartOffset(0.0f, 0.05f, 5.0f);

} // namespace

void Game::handleInput(float dtF)
{
    InputState& input = inputState();
    const int key = input.lastKey;
    input.lastKey = 0;

    // Steering is weaker in the air; the cell is last frame's, as the hero has not moved yet.
    const float ground = static_cast<float>(cellHeight(grid, heroCell));
    const float factor = std::fabs(hero->position.y - ground) < 0.1f ? groundSpeed : airSpeed;
    if (!paused)
        hero->setVelocity(moveDirection() * factor);

    switch (key) {
    case GLFW_KEY_TAB:
        paused = !paused;
        camera->frozen = !camera->frozen;
        flame->handSteering = !flame->handSteering;
        break;
    case GLFW_KEY_SPACE:
        if (!paused)
            hero->jump();
        break;
    case GLFW_KEY_ESCAPE:
        finished = true;
        break;
    case GLFW_KEY_ENTER:
        if (!paused)
            camera->changeSite();
        break;
    case GLFW_KEY_F4:
        applyTextureSampling(debugSwitches().linearSampling ? 1 : 0, false);
        printDebugReport(dtF);
        break;
    case GLFW_KEY_F5:
        applyTextureSampling(debugSwitches().mipmapLevel, true);
        printDebugReport(dtF);
        break;
    default:
        break;
    }
}

void Game::update(double dt)
{
    const float dtF = static_cast<float>(dt);
    handleInput(dtF);
    if (paused)
        updatePaused(dt);
    else
        updateRunning(dt);
    checkDeath();
}

// The pause is a debugging view: the world stands still while the camera flies and the
// flame's light is steered by hand.
void Game::updatePaused(double dt)
{
    const float dtF = static_cast<float>(dt);
    camera->velocity = inputState().cameraVelocity;
    camera->step(dtF);
    flame->steeringVelocity = inputState().flameSteer;
    flame->update(static_cast<double>(dtF));
    propeller->updateWithParent(hero->modelMatrix, dt);
}

void Game::updateRunning(double dt)
{
    const float dtF = static_cast<float>(dt);
    camera->step(dtF);
    hero->updateHero(dt, flame->position);
    propeller->updateWithParent(hero->modelMatrix, dt);
    heroCell = cellIndex(hero->position.x, hero->position.z);
    hero->groundHeight = cellHeight(grid, heroCell);
    flame->target = hero->position;
    flame->update(dt);

    checkFinish(dtF);
    for (auto& cube : cubes) {
        cube->heroPosition = hero->position;
        cube->updateCube(dtF);
    }
    for (auto& cube : invisCubes) {
        cube->heroPosition = hero->position;
        cube->updateCube(dtF);
        if (cube->broken)
            clearCell(cellIndex(cube->position.x, cube->position.z));
    }
    nearBar->value = hero->nearMeter;
    farBar->value = hero->farMeter;
    nearBar->update(static_cast<double>(dtF));
    farBar->update(static_cast<double>(dtF));
    for (auto& bar : lifeBars)
        bar->update(dt);
}

// Reaching the finish builds the next level at once; the rest of the frame runs on it.
void Game::checkFinish(float dtF)
{
    if (!finishCube)
        return;
    finishCube->heroPosition = hero->position;
    finishCube->updateCube(dtF);
    if (!finishCube->reached)
        return;
    std::cout << "you WON" << std::endl;
    currentLevel = currentLevel + 1;
    if (currentLevel > lastLevel)
        finished = true;
    else
        loadLevel();
}

void Game::clearCell(int index)
{
    if (index >= 0 && index < static_cast<int>(grid.size()))
        grid[static_cast<std::size_t>(index)] = 0;
}

void Game::checkDeath()
{
    if (!hero->died)
        return;
    std::cout << "hero died" << std::endl;
    if (hero->lives < 1) {
        std::cout << "Useless Shit" << std::endl;
        finished = true;
        return;
    }
    std::cout << hero->lives << " lives left" << std::endl;
    hero->died = false;
    hero->nearMeter = 0.0f;
    hero->farMeter = 0.0f;
    hero->position = startPosition + heroRespawnLift;
    // The ground of the cell it died in would let a slow frame sink it into the start column.
    hero->groundHeight = cellHeight(grid, cellIndex(startPosition.x, startPosition.z));
    flame->position = startPosition + flameStartOffset;
}
