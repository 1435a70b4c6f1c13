#include "game/Game.h"

#include "assets/SoundManager.h"
#include "game/ConsoleLines.h"
#include "game/GameTime.h"
#include "game/Keys.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

constexpr int lastLevel = 3;
constexpr float groundSpeed = 2.5f;
constexpr float airSpeed = 1.5f;
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
    : options_(options), console_(*options.console), input_(input), switches_(switches),
      farBar_(glm::vec3(0.0f), farBarColor), nearBar_(glm::vec3(0.0f), nearBarColor), hero_(glm::vec3(0.0f)),
      flame_(glm::vec3(0.0f)), propeller_(glm::vec3(0.0f))
{
    setupTimes_.sound = secondsTaken([&] {
        SoundManager& sound = SoundManager::instance();
        sound.initSound(options.music, options.soundfx);
        // The flame burns from the start to the end of the game, whichever flame it is.
        sound.setVolume(0.3f);
        sound.playSound(Sound::FlameBurning, true);
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
        lifeBars_.push_back(bar);
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
    for (int i = 0; i < steps.count && !finished_ && !heroPlacedAnew_; ++i)
        step(steps.length, i == 0);
    camera_.follow(hero_.position, flame_.position);
}

void Game::step(double dt, bool firstOfFrame)
{
    const float dtF = static_cast<float>(dt);
    steerHero();
    if (firstOfFrame)
        actOnKeys(dtF);
    if (paused_)
        updatePaused(dt);
    else
        updateRunning(dt);
    checkDeath();
}

// The hero forgets its velocity after every update, so it is steered anew before each one.
void Game::steerHero()
{
    // Steering is weaker in the air; the cell is last step's, as the hero has not moved yet.
    const float ground = static_cast<float>(cellHeight(grid_, heroCell_));
    const float factor = std::fabs(hero_.position.y - ground) < 0.1f ? groundSpeed : airSpeed;
    if (!paused_)
        hero_.setVelocity(moveDirection(input_) * factor);
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
    case Key::Tab:
        paused_ = !paused_;
        camera_.frozen = !camera_.frozen;
        flame_.handSteering = !flame_.handSteering;
        break;
    case Key::Space:
        if (!paused_)
            hero_.jump();
        break;
    case Key::Escape: finished_ = true; break;
    case Key::Enter:
        if (!paused_)
            camera_.changeSite(console_);
        break;
    case Key::F4:
        samplingChanges_.push_back({switches_.linearSampling ? 1 : 0, false, !cubes_.empty(), !invisCubes_.empty()});
        printDebugReport(dtF);
        break;
    case Key::F5:
        samplingChanges_.push_back({switches_.mipmapLevel, true, !cubes_.empty(), !invisCubes_.empty()});
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
    camera_.velocity = cameraFlight(input_);
    camera_.step(dtF);
    flame_.steeringVelocity = flameSteering(input_);
    flame_.update(static_cast<double>(dtF));
    propeller_.updateWithParent(hero_.modelMatrix, dt);
}

void Game::updateRunning(double dt)
{
    const float dtF = static_cast<float>(dt);
    camera_.step(dtF);
    hero_.updateHero(dt, flame_.position);
    propeller_.updateWithParent(hero_.modelMatrix, dt);
    heroCell_ = cellIndex(hero_.position.x, hero_.position.z);
    hero_.groundHeight = cellHeight(grid_, heroCell_);
    flame_.target = hero_.position;
    flame_.update(dt);

    checkFinish(dtF);
    // Plain cubes never move: their matrices were set when the level was built, and a walk
    // over hundreds of them every frame would only compute the same ones again.
    for (CubeInvis& cube : invisCubes_) {
        cube.heroPosition = hero_.position;
        cube.updateCube(dtF);
        if (cube.broken)
            clearCell(cellIndex(cube.position.x, cube.position.z));
    }
    nearBar_.value = hero_.nearMeter;
    farBar_.value = hero_.farMeter;
    nearBar_.update(static_cast<double>(dtF));
    farBar_.update(static_cast<double>(dtF));
    for (Bar& bar : lifeBars_)
        bar.update(dt);
}

// Reaching the finish builds the next level at once; the rest of the step runs on it.
void Game::checkFinish(float dtF)
{
    if (!finishCube_)
        return;
    finishCube_->heroPosition = hero_.position;
    finishCube_->updateCube(dtF);
    if (!finishCube_->reached)
        return;
    console_ << ConsoleLine::finishReached << std::endl;
    console_ << ConsoleLine::levelWon << std::endl;
    if (currentLevel_ + 1 > lastLevel) {
        currentLevel_ = currentLevel_ + 1;
        finished_ = true;
    } else {
        loadLevel(currentLevel_ + 1);
    }
}

void Game::clearCell(int index)
{
    if (index >= 0 && index < static_cast<int>(grid_.size()))
        grid_[static_cast<std::size_t>(index)] = 0;
}

void Game::checkDeath()
{
    if (!hero_.died)
        return;
    console_ << ConsoleLine::heroDied << std::endl;
    if (hero_.lives < 1) {
        console_ << ConsoleLine::gameOver << std::endl;
        finished_ = true;
        return;
    }
    console_ << hero_.lives << ConsoleLine::livesLeft << std::endl;
    hero_.died = false;
    hero_.nearMeter = 0.0f;
    hero_.farMeter = 0.0f;
    hero_.position = startPosition_ + heroRespawnLift;
    heroPlacedAnew_ = true;
    // The ground of the cell it died in would let a slow frame sink it into the start column.
    hero_.groundHeight = cellHeight(grid_, cellIndex(startPosition_.x, startPosition_.z));
    flame_.position = startPosition_ + flameStartOffset;
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
    currentLevel_ = number;
    heroCell_ = 0;
    console_ << ConsoleLine::currentLevel << currentLevel_ << std::endl;
    grid_.clear();
    cubes_.clear();
    invisCubes_.clear();
    finishCube_.reset();
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
        cubes_.emplace_back(place);
    // A finish cube is made from the cube's files as its cell is read, among the invisible
    // cubes before and after it.
    std::size_t finishesMade = 0;
    const auto makeFinishesReadBefore = [&](std::size_t invisCubesRead) {
        const std::vector<std::size_t>& finishes = level.invisCubesBeforeEachFinish;
        for (; finishesMade < finishes.size() && finishes[finishesMade] <= invisCubesRead; ++finishesMade)
            reportModelRead(ModelKind::Cube);
    };
    for (const glm::vec3& place : level.invisCubes) {
        makeFinishesReadBefore(invisCubes_.size());
        invisCubes_.emplace_back(place);
        console_ << place.x << " " << place.y << " " << place.z << std::endl;
    }
    makeFinishesReadBefore(invisCubes_.size());
    if (level.finish)
        finishCube_.emplace(*level.finish);
    grid_ = level.grid;
    startPosition_ = level.startPosition;
    console_ << ConsoleLine::invisibleCubes << invisCubes_.size() << std::endl;
    finished_ = false;

    hero_ = Hero(startPosition_ + heroStartLift);
    // A new hero would stand on no ground (0), and one that sinks below its start column before
    // it knows the column is there falls through it on any slower frame.
    hero_.groundHeight = cellHeight(grid_, cellIndex(startPosition_.x, startPosition_.z));
    heroPlacedAnew_ = true;
    propeller_ = Propeller(glm::vec3(0.0f));
    flame_ = Flame(startPosition_ + flameStartOffset);
    // The glow's quad and the meters are made anew from their files for every level.
    reportModelRead(ModelKind::GlowQuad);
    reportModelRead(ModelKind::Bar);
    nearBar_ = Bar(glm::vec3(0.0f, -0.96f, 0.0f), nearBarColor);
    reportModelRead(ModelKind::Bar);
    farBar_ = Bar(glm::vec3(0.0f, -0.9f, 0.0f), farBarColor);
    camera_.follow(hero_.position, flame_.position);
}

PlaySnapshot Game::snapshot() const
{
    return PlaySnapshot{hero_,       flame_, propeller_, camera_, input_,   invisCubes_,
                        finishCube_, grid_,  heroCell_,  paused_, finished_};
}

void Game::restore(const PlaySnapshot& snapshot)
{
    hero_ = snapshot.hero;
    flame_ = snapshot.flame;
    propeller_ = snapshot.propeller;
    camera_ = snapshot.camera;
    input_ = snapshot.input;
    invisCubes_ = snapshot.invisCubes;
    finishCube_ = snapshot.finishCube;
    grid_ = snapshot.grid;
    heroCell_ = snapshot.heroCell;
    paused_ = snapshot.paused;
    finished_ = snapshot.finished;
    camera_.follow(hero_.position, flame_.position);
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
