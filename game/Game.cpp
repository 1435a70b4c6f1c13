#include "game/Game.h"

#include "assets/SoundManager.h"
#include "game/GameTime.h"
#include "game/Keys.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/LevelReader.h"
#include "scene/PlaneAndPropeller.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr int lastLevel = 3;
constexpr float groundSpeed = 2.5f;
constexpr float airSpeed = 1.5f;
const glm::vec3 heroStartLift(0.0f, 0.05f, 0.0f);
const glm::vec3 heroRespawnLift(0.0f, 0.1f, 0.0f);
const glm::vec3 flameStartOffset(0.0f, 0.05f, 5.0f);

enum PrototypeIndex { HeroPrototype = 0, FlamePrototype = 1, CubePrototype = 2, InvisPrototype = 3, PropellerPrototype = 4 };

// A fresh copy of a prototype at a new place; it shares the prototype's GL objects.
template <class T>
std::unique_ptr<T> copyOf(const std::vector<std::unique_ptr<SceneObject>>& prototypes, int index, glm::vec3 position)
{
    auto copy = std::make_unique<T>(dynamic_cast<const T&>(*prototypes.at(static_cast<std::size_t>(index))));
    copy->position = position;
    return copy;
}

template <class Step>
double secondsTaken(Step&& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

Game::Game(const GameOptions& options, InputState& input, DebugSwitches& switches)
    : options_(options), input_(input), switches_(switches)
{
    camera = std::make_unique<Camera>();
    setupTimes.sound = secondsTaken([&] { SoundManager::instance().initSound(options.music, options.soundfx); });
    setupTimes.prototypes = secondsTaken([&] {
        createPrototypes();
        createLifeBars();
    });
    setupTimes.levelBuild = secondsTaken([&] { loadLevel(); });
}

Game::~Game() = default;

void Game::createPrototypes()
{
    const glm::vec3 origin(0.0f);
    prototypes.push_back(std::make_unique<Hero>(origin, options_.models));
    prototypes.push_back(std::make_unique<Flame>(origin, options_.models));
    prototypes.push_back(std::make_unique<Cube>(origin, options_.models));
    prototypes.push_back(std::make_unique<CubeInvis>(Cube(origin, options_.models)));
    prototypes.push_back(std::make_unique<Propeller>(origin, options_.models));
}

void Game::createLifeBars()
{
    Bar model(glm::vec3(-0.9f, -0.96f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f), options_.models);
    model.value = 0.04f;
    for (float x : {-0.9f, -0.8f, -0.7f, -0.6f, -0.5f, -0.4f}) {
        model.position = glm::vec3(x, -0.96f, 0.0f);
        lifeBars.push_back(std::make_unique<Bar>(model));
    }
}

// A long frame is run as several short steps, so that a jump rises as high on a slow machine
// as on a fast one. The frame's keys act once, in its first step; held keys steer every step.
// A new level or a respawn ends the frame: the player sees where the hero stands now before
// the keys still held move it on.
void Game::update(double dt)
{
    const SubSteps steps = subStepsOf(dt);
    heroPlacedAnew_ = false;
    for (int i = 0; i < steps.count && !finished && !heroPlacedAnew_; ++i)
        step(steps.length, i == 0);
}

void Game::step(double dt, bool firstOfFrame)
{
    const float dtF = static_cast<float>(dt);
    steerHero();
    if (firstOfFrame)
        actOnKeys(dtF);
    if (paused)
        updatePaused(dt);
    else
        updateRunning(dt);
    checkDeath();
}

// The hero forgets its velocity after every update, so it is steered anew before each one.
void Game::steerHero()
{
    // Steering is weaker in the air; the cell is last step's, as the hero has not moved yet.
    const float ground = static_cast<float>(cellHeight(grid, heroCell));
    const float factor = std::fabs(hero->position.y - ground) < 0.1f ? groundSpeed : airSpeed;
    if (!paused)
        hero->setVelocity(moveDirection(input_) * factor);
}

void Game::actOnKeys(float dtF)
{
    for (int key : input_.keys)
        actOnKey(key, dtF);
    input_.keys.clear();
}

void Game::actOnKey(int key, float dtF)
{
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
        samplingChanges.push_back({switches_.linearSampling ? 1 : 0, false});
        printDebugReport(dtF);
        break;
    case GLFW_KEY_F5:
        samplingChanges.push_back({switches_.mipmapLevel, true});
        printDebugReport(dtF);
        break;
    default:
        break;
    }
}

// The pause is a debugging view: the world stands still while the camera flies and the
// flame's light is steered by hand.
void Game::updatePaused(double dt)
{
    const float dtF = static_cast<float>(dt);
    camera->velocity = cameraFlight(input_);
    camera->step(dtF);
    flame->steeringVelocity = flameSteering(input_);
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
    // Plain cubes never move: their matrices were set when the level was built, and a walk
    // over hundreds of them every frame would only compute the same ones again.
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
    heroPlacedAnew_ = true;
    // The ground of the cell it died in would let a slow frame sink it into the start column.
    hero->groundHeight = cellHeight(grid, cellIndex(startPosition.x, startPosition.z));
    flame->position = startPosition + flameStartOffset;
}

void Game::loadLevel()
{
    heroCell = 0;
    std::cout << "Current Level " << currentLevel << std::endl;
    // The previous level's objects go; their GL objects live on in the prototypes.
    grid.clear();
    cubes.clear();
    invisCubes.clear();
    finishCube.reset();

    char name[64];
    std::snprintf(name, sizeof name, "%d", currentLevel);
    startPosition = readLevel(name);
    finished = false;

    hero = copyOf<Hero>(prototypes, HeroPrototype, startPosition + heroStartLift);
    heroPlacedAnew_ = true;
    // The copy would carry the prototype's ground (0), and a hero that sinks below its start
    // column before it knows the column is there falls through it on any slower frame.
    hero->groundHeight = cellHeight(grid, cellIndex(startPosition.x, startPosition.z));
    propeller = copyOf<Propeller>(prototypes, PropellerPrototype, glm::vec3(0.0f));
    flame = copyOf<Flame>(prototypes, FlamePrototype, startPosition + flameStartOffset);
    plane = std::make_unique<Plane>(glm::vec3(0.0f), options_.models);
    nearBar = std::make_unique<Bar>(glm::vec3(0.0f, -0.96f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f), options_.models);
    farBar = std::make_unique<Bar>(glm::vec3(0.0f, -0.9f, 0.0f), glm::vec3(0.2f, 0.2f, 1.0f), options_.models);
}

glm::vec3 Game::readLevel(const std::string& name)
{
    std::cout << "LADE das LEVEL: " << name << std::endl;
    startPosition = glm::vec3(0.0f);

    // A FIFO would block the game until something writes to it, and a folder opens like an
    // empty file: either is a level that is not there.
    const std::string path = options_.levelFolder + name + ".lvl";
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, error))
        file.open(path, std::ios::binary);
    if (!file.is_open()) {
        std::cout << "File could not be opened." << std::endl;
        std::cout << "InvisCubes: " << invisCubes.size() << std::endl;
        return startPosition;
    }
    std::cout << "File Opened successfully!!!. Reading data from file into array" << std::endl;

    const LevelLayout level = parseLevel(file);
    for (const glm::vec3& place : level.cubes) {
        cubes.push_back(copyOf<Cube>(prototypes, CubePrototype, place));
        cubes.back()->updateCube(0.0f);
    }
    // In file order, so that anything the finish prints comes at its cell.
    for (std::size_t i = 0; i < level.invisCubes.size(); ++i) {
        if (i == level.invisCubesBeforeFinish)
            placeFinish(level.finish);
        const glm::vec3& place = level.invisCubes[i];
        invisCubes.push_back(copyOf<CubeInvis>(prototypes, InvisPrototype, place));
        std::cout << place.x << " " << place.y << " " << place.z << std::endl;
    }
    if (level.invisCubesBeforeFinish == level.invisCubes.size())
        placeFinish(level.finish);
    grid = level.grid;
    startPosition = level.startPosition;

    std::cout << "InvisCubes: " << invisCubes.size() << std::endl;
    return startPosition;
}

void Game::placeFinish(const std::optional<glm::vec3>& place)
{
    if (!place)
        return;
    finishCube = std::make_unique<CubeFinish>(*place, options_.models);
}

void Game::printDebugReport(float frameTime)
{
    if (switches_.reportPending) {
        switches_.reportPending = false;
        printSwitchReport(std::cout, switches_, objectsDrawn);
        reportTimer = 0.0f;
        wireframe = !switches_.solidFill;
    } else if (reportTimer > 1.0f && switches_.showFrametime) {
        printFrametimeLine(std::cout, frameTime);
        reportTimer = 0.0f;
    }
    reportTimer += frameTime;
}
