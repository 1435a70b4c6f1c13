#include "game/Game.h"

#include "game/ConsoleLines.h"
#include "game/GameTime.h"
#include "game/Keys.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

constexpr int lastLevel = 3;
const glm::vec3 heroStartLift(0.0f, 0.05f, 0.0f);
const glm::vec3 heroRespawnLift(0.0f, 0.1f, 0.0f);
const glm::vec3 flameStartOffset(0.0f, 0.05f, 5.0f);
const glm::vec3 lifeBarColor(1.0f, 0.0f, 0.0f);
const glm::vec3 nearBarColor(1.0f, 0.0f, 0.0f);
const glm::vec3 farBarColor(0.2f, 0.2f, 1.0f);

template <class Step>
double secondsTaken(Step&& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

Game::Game(const GameOptions& options, InputState& input, DebugSwitches& switches)
    : options_(options), console_(*options.console), input_(input), switches_(switches)
{
    setupTimes_.sound = secondsTaken([&] {
        sounds_.setUp(options.music, options.soundfx);
        // The flame burns from the start to the end of the game, whichever flame it is.
        sounds_.setVolume(0.3f);
        sounds_.play(Sound::FlameBurning, true);
        handOverSounds();
    });
    // The objects each level's hero, flame, cubes and propeller are copied from; an invisible
    // cube is made as a cube is.
    for (ModelKind kind :
         {ModelKind::Hero, ModelKind::Flame, ModelKind::Cube, ModelKind::InvisibleCube, ModelKind::Propeller})
        reportModelRead(kind);
    createLifeBars();
    setupTimes_.levelBuild = secondsTaken([&] {
        if (options.firstLevel)
            loadLevel(*options.firstLevel, 1);
        else
            loadLevel(1);
    });
}

// A missing file is reported by the object it is missing for.
void Game::reportModelRead(ModelKind kind)
{
    console_ << reportOf(options_.modelReports, kind) << std::flush;
}

void Game::createLifeBars()
{
    reportModelRead(ModelKind::Bar);
    Bar bar(glm::vec3(-0.9f, -0.96f, 0.0f), lifeBarColor);
    bar.value = 0.04f;
    for (float x : {-0.9f, -0.8f, -0.7f, -0.6f, -0.5f, -0.4f}) {
        bar.position = glm::vec3(x, -0.96f, 0.0f);
        level_.lifeBars.push_back(bar);
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
    for (int i = 0; i < steps.count && !level_.finished && !heroPlacedAnew_; ++i)
        step(steps.length, i == 0);
    level_.camera.follow(level_.hero.position, level_.flame.position);
    handOverSounds();
}

// The hero's and the flame's requests join the game's in the order they were made: each is
// taken straight after the call that made it.
void Game::collectSounds()
{
    sounds_.takeFrom(level_.hero.sounds);
    sounds_.takeFrom(level_.flame.sounds);
}

void Game::handOverSounds()
{
    const std::vector<SoundRequest> made = sounds_.take();
    if (options_.hearSounds && !made.empty())
        options_.hearSounds(made);
}

void Game::step(double dt, bool firstOfFrame)
{
    const float dtF = static_cast<float>(dt);
    steerHero();
    if (firstOfFrame)
        actOnKeys(dtF);
    if (level_.paused)
        updatePaused(dt);
    else
        updateRunning(dt);
    checkDeath();
}

// The hero forgets its velocity after every update, so it is steered anew before each one.
void Game::steerHero()
{
    // Steering is weaker in the air; the cell is last step's, as the hero has not moved yet.
    const float ground = static_cast<float>(cellHeight(level_.grid, level_.heroCell));
    const float factor = std::fabs(level_.hero.position.y - ground) < 0.1f ? groundSpeed : airSpeed;
    if (!level_.paused)
        level_.hero.setVelocity(moveDirection(input_) * factor);
}

void Game::actOnKeys(float dtF)
{
    for (int key : input_.keys)
        actOnKey(key, dtF);
    input_.keys.clear();
    collectSounds();
}

void Game::actOnKey(int key, float dtF)
{
    switch (key) {
    case Key::Tab:
        level_.paused = !level_.paused;
        level_.camera.frozen = !level_.camera.frozen;
        level_.flame.handSteering = !level_.flame.handSteering;
        break;
    case Key::Space:
        if (!level_.paused)
            level_.hero.jump();
        break;
    case Key::Escape: level_.finished = true; break;
    case Key::Enter:
        if (!level_.paused)
            level_.camera.changeSite(console_);
        break;
    case Key::F4:
        samplingChanges_.push_back(
            {switches_.linearSampling ? 1 : 0, false, !level_.cubes.empty(), !level_.invisCubes.empty()});
        printDebugReport(dtF);
        break;
    case Key::F5:
        samplingChanges_.push_back({switches_.mipmapLevel, true, !level_.cubes.empty(), !level_.invisCubes.empty()});
        printDebugReport(dtF);
        break;
    default: break;
    }
}

// The pause is a debugging view: the world stands still while the camera flies and the
// flame's light is steered by hand.
void Game::updatePaused(double dt)
{
    const float dtF = static_cast<float>(dt);
    level_.camera.velocity = cameraFlight(input_);
    level_.camera.step(dtF);
    level_.flame.steeringVelocity = flameSteering(input_);
    level_.flame.update(static_cast<double>(dtF));
    collectSounds();
    level_.propeller.updateWithParent(level_.hero.modelMatrix, dt);
}

void Game::updateRunning(double dt)
{
    const float dtF = static_cast<float>(dt);
    level_.camera.step(dtF);
    level_.hero.updateHero(dt, level_.flame.position);
    collectSounds();
    level_.propeller.updateWithParent(level_.hero.modelMatrix, dt);
    level_.heroCell = cellIndex(level_.hero.position.x, level_.hero.position.z);
    level_.hero.groundHeight = cellHeight(level_.grid, level_.heroCell);
    level_.flame.target = level_.hero.position;
    level_.flame.update(dt);
    collectSounds();

    checkFinish(dtF);
    // Plain cubes never move: their matrices were set when the level was built, and a walk
    // over hundreds of them every frame would only compute the same ones again.
    for (CubeInvis& cube : level_.invisCubes) {
        cube.heroPosition = level_.hero.position;
        cube.updateCube(dtF);
        if (cube.broken)
            clearCell(cellIndex(cube.position.x, cube.position.z));
    }
    level_.nearBar.value = level_.hero.nearMeter;
    level_.farBar.value = level_.hero.farMeter;
    level_.nearBar.update(static_cast<double>(dtF));
    level_.farBar.update(static_cast<double>(dtF));
    for (Bar& bar : level_.lifeBars)
        bar.update(dt);
}

// Reaching the finish builds the next level at once; the rest of the step runs on it.
void Game::checkFinish(float dtF)
{
    if (!level_.finishCube)
        return;
    level_.finishCube->heroPosition = level_.hero.position;
    level_.finishCube->updateCube(dtF);
    if (!level_.finishCube->reached)
        return;
    console_ << ConsoleLine::finishReached << std::endl;
    console_ << ConsoleLine::levelWon << std::endl;
    if (level_.currentLevel + 1 > lastLevel) {
        level_.currentLevel = level_.currentLevel + 1;
        level_.finished = true;
    } else {
        loadLevel(level_.currentLevel + 1);
    }
}

void Game::clearCell(int index)
{
    if (index >= 0 && index < static_cast<int>(level_.grid.size()))
        level_.grid[static_cast<std::size_t>(index)] = 0;
}

void Game::checkDeath()
{
    if (!level_.hero.died)
        return;
    console_ << ConsoleLine::heroDied << std::endl;
    if (level_.hero.lives < 1) {
        console_ << ConsoleLine::gameOver << std::endl;
        level_.finished = true;
        return;
    }
    console_ << level_.hero.lives << ConsoleLine::livesLeft << std::endl;
    level_.hero.died = false;
    level_.hero.nearMeter = 0.0f;
    level_.hero.farMeter = 0.0f;
    level_.hero.position = level_.startPosition + heroRespawnLift;
    heroPlacedAnew_ = true;
    // The ground of the cell it died in would let a slow frame sink it into the start column.
    level_.hero.groundHeight = cellHeight(level_.grid, cellIndex(level_.startPosition.x, level_.startPosition.z));
    level_.flame.position = level_.startPosition + flameStartOffset;
}

void Game::loadLevel(int number)
{
    startLevel(number);
    const std::optional<LevelLayout> level = readLevel(std::to_string(number));
    buildLevel(level ? *level : LevelLayout{});
}

void Game::loadLevel(const LevelLayout& layout, int number)
{
    startLevel(number);
    buildLevel(layout);
}

// The previous level's objects go.
void Game::startLevel(int number)
{
    level_.currentLevel = number;
    level_.heroCell = 0;
    console_ << ConsoleLine::currentLevel << level_.currentLevel << std::endl;
    level_.grid.clear();
    level_.cubes.clear();
    level_.invisCubes.clear();
    level_.finishCube.reset();
}

std::optional<LevelLayout> Game::readLevel(const std::string& name)
{
    console_ << ConsoleLine::readingLevel << name << std::endl;
    // A FIFO would block the game until something writes to it, and a folder opens like an
    // empty file: either is a level that is not there.
    const std::string path = options_.levelFolder + name + ".lvl";
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, error))
        file.open(path, std::ios::binary);
    if (!file.is_open()) {
        console_ << ConsoleLine::levelMissing << std::endl;
        return std::nullopt;
    }
    console_ << ConsoleLine::levelOpened << std::endl;
    return parseLevel(file);
}

void Game::buildLevel(const LevelLayout& level)
{
    for (const glm::vec3& place : level.cubes)
        level_.cubes.emplace_back(place);
    // A finish cube is made from the cube's files as its cell is read, among the invisible
    // cubes before and after it.
    std::size_t finishesMade = 0;
    const auto makeFinishesReadBefore = [&](std::size_t invisCubesRead) {
        const std::vector<std::size_t>& finishes = level.invisCubesBeforeEachFinish;
        for (; finishesMade < finishes.size() && finishes[finishesMade] <= invisCubesRead; ++finishesMade)
            reportModelRead(ModelKind::Cube);
    };
    for (const glm::vec3& place : level.invisCubes) {
        makeFinishesReadBefore(level_.invisCubes.size());
        level_.invisCubes.emplace_back(place);
        console_ << place.x << " " << place.y << " " << place.z << std::endl;
    }
    makeFinishesReadBefore(level_.invisCubes.size());
    if (level.finish)
        level_.finishCube.emplace(*level.finish);
    level_.grid = level.grid;
    level_.startPosition = level.startPosition;
    console_ << ConsoleLine::invisibleCubes << level_.invisCubes.size() << std::endl;
    level_.finished = false;

    level_.hero = Hero(level_.startPosition + heroStartLift);
    // A new hero would stand on no ground (0), and one that sinks below its start column before
    // it knows the column is there falls through it on any slower frame.
    level_.hero.groundHeight = cellHeight(level_.grid, cellIndex(level_.startPosition.x, level_.startPosition.z));
    heroPlacedAnew_ = true;
    level_.propeller = Propeller(glm::vec3(0.0f));
    level_.flame = Flame(level_.startPosition + flameStartOffset);
    // The glow's quad and the meters are made anew from their files for every level.
    reportModelRead(ModelKind::GlowQuad);
    reportModelRead(ModelKind::Bar);
    level_.nearBar = Bar(glm::vec3(0.0f, -0.96f, 0.0f), nearBarColor);
    reportModelRead(ModelKind::Bar);
    level_.farBar = Bar(glm::vec3(0.0f, -0.9f, 0.0f), farBarColor);
    level_.camera.follow(level_.hero.position, level_.flame.position);
}

void Game::restore(const LevelState& state)
{
    level_ = state;
    level_.camera.follow(level_.hero.position, level_.flame.position);
}

std::vector<TextureSamplingChange> Game::takeSamplingChanges()
{
    std::vector<TextureSamplingChange> taken;
    taken.swap(samplingChanges_);
    return taken;
}

void Game::printDebugReport(float frameTime)
{
    if (switches_.reportPending) {
        switches_.reportPending = false;
        printSwitchReport(console_, switches_, objectsDrawn_);
        reportTimer_ = 0.0f;
        wireframe_ = !switches_.solidFill;
    } else if (reportTimer_ > 1.0f && switches_.showFrametime) {
        printFrametimeLine(console_, frameTime);
        reportTimer_ = 0.0f;
    }
    reportTimer_ += frameTime;
}
