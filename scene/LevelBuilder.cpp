#include "game/Game.h"

#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/LevelReader.h"
#include "scene/PlaneAndPropeller.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

enum PrototypeIndex { HeroPrototype = 0, FlamePrototype = 1, CubePrototype = 2, InvisPrototype = 3, PropellerPrototype = 4 };

// A fresh copy of a prototype at a new place; it shares the prototype's GL objects.
template <class T>
std::unique_ptr<T> copyOf(const std::vector<std::unique_ptr<SceneObject>>& prototypes, int index, glm::vec3 position)
{
    auto copy = std::make_unique<T>(dynamic_cast<const T&>(*prototypes.at(static_cast<std::size_t>(index))));
    copy->position = position;
    return copy;
}

} // namespace

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

    hero = copyOf<Hero>(prototypes, HeroPrototype, startPosition + glm::vec3(0.0f, 0.05f, 0.0f));
    // The copy would carry the prototype's ground (0), and a hero that sinks below its start
    // column before it knows the column is there falls through it on any slower frame.
    hero->groundHeight = cellHeight(grid, cellIndex(startPosition.x, startPosition.z));
    propeller = copyOf<Propeller>(prototypes, PropellerPrototype, glm::vec3(0.0f));
    flame = copyOf<Flame>(prototypes, FlamePrototype, startPosition + glm::vec3(0.0f, 0.05f, 5.0f));
    plane = std::make_unique<Plane>(glm::vec3(0.0f));
    nearBar = std::make_unique<Bar>(glm::vec3(0.0f, -0.96f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    farBar = std::make_unique<Bar>(glm::vec3(0.0f, -0.9f, 0.0f), glm::vec3(0.2f, 0.2f, 1.0f));
}

glm::vec3 Game::readLevel(const std::string& name)
{
    std::cout << "LADE das LEVEL: " << name << std::endl;
    startPosition = glm::vec3(0.0f);

    std::ifstream file("Tindral/Levels/" + name + ".lvl", std::ios::binary);
    if (!file.is_open()) {
        std::cout << "File could not be opened." << std::endl;
        std::cout << "InvisCubes: " << invisCubes.size() << std::endl;
        return startPosition;
    }
    std::cout << "File Opened successfully!!!. Reading data from file into array" << std::endl;

    const LevelLayout level = parseLevel(file);
    for (const glm::vec3& place : level.cubes)
        cubes.push_back(copyOf<Cube>(prototypes, CubePrototype, place));
    for (const glm::vec3& place : level.invisCubes) {
        invisCubes.push_back(copyOf<CubeInvis>(prototypes, InvisPrototype, place));
        std::cout << place.x << " " << place.y << " " << place.z << std::endl;
    }
    if (level.finish)
        finishCube = std::make_unique<CubeFinish>(*level.finish);
    grid = level.grid;
    startPosition = level.startPosition;

    std::cout << "InvisCubes: " << invisCubes.size() << std::endl;
    return startPosition;
}
