#pragma once
#include "game/Camera.h"
#include "game/DebugSwitches.h"
#include "game/InputState.h"
#include "scene/SceneObject.h"

#include <glm/glm.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Bar;
class Cube;
class CubeFinish;
class CubeInvis;
class Flame;
class Hero;
class Plane;
class Propeller;

// How a game is set up: the sound switches, where its objects' models come from (none when
// it runs without a window) and where its level files lie.
struct GameOptions {
    bool music = true;
    bool soundfx = true;
    ModelSource models = ModelSource::FromDisk;
    std::string levelFolder = "Tindral/Levels/";
};

// How long each step of building the game took, in seconds.
struct GameSetupTimes {
    double sound = 0.0;
    double prototypes = 0.0; // the five prototypes and the life bars
    double levelBuild = 0.0;
};

// A change of texture filtering that F4 or F5 asked for; the renderer applies it.
struct TextureSamplingChange {
    int value;
    bool mipmapMode;
};

// One running game: the current level's objects, its height grid, the camera, the HUD bars
// and the game state. It knows nothing of windows or GL: the renderer reads it to draw a
// frame, and the key callback's input reaches it through its InputState.
class Game {
public:
    explicit Game(const GameOptions& options = GameOptions{}, InputState& input = inputState(),
                  DebugSwitches& switches = debugSwitches());
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // One frame: `dt` seconds of game time, run in sub-steps when long (game/GameTime.h).
    void update(double dt);
    // The debug report, once per frame; a switch change prints all switches and settles the
    // polygon mode the renderer draws with.
    void printDebugReport(float frameTime);
    void loadLevel();
    glm::vec3 readLevel(const std::string& name);

    InputState& input() const { return input_; }
    DebugSwitches& switches() const { return switches_; }

    int heroCell = 0;
    float reportTimer = 0.0f;
    int objectsDrawn = 0; // counted by the renderer in its last pass
    std::vector<std::unique_ptr<Cube>> cubes;
    std::vector<std::unique_ptr<CubeInvis>> invisCubes;
    std::vector<std::unique_ptr<Bar>> lifeBars;
    std::unique_ptr<Bar> farBar;
    std::unique_ptr<Bar> nearBar;
    std::unique_ptr<Hero> hero;
    std::unique_ptr<Flame> flame;
    std::unique_ptr<CubeFinish> finishCube;
    std::unique_ptr<Plane> plane;
    std::unique_ptr<Propeller> propeller;
    std::unique_ptr<Camera> camera;
    bool paused = false;
    bool finished = false;
    std::vector<int> grid;
    glm::vec3 startPosition{0.0f};
    int currentLevel = 1;

    // What the debug keys ask of the renderer: lines instead of filled polygons (as of the
    // last report), and the texture filter changes made since the last frame was drawn.
    bool wireframe = false;
    std::vector<TextureSamplingChange> samplingChanges;

    GameSetupTimes setupTimes;

    // The five objects every level copies from: hero, flame, cube, invisible cube, propeller.
    std::vector<std::unique_ptr<SceneObject>> prototypes;

private:
    void step(double dt, bool firstOfFrame);
    void steerHero();
    void actOnKeys(float dtF);
    void actOnKey(int key, float dtF);
    void updatePaused(double dt);
    void updateRunning(double dt);
    void checkFinish(float dtF);
    void clearCell(int index);
    void checkDeath();
    void createPrototypes();
    void createLifeBars();
    void placeFinish(const std::optional<glm::vec3>& place);

    GameOptions options_;
    bool heroPlacedAnew_ = false; // by a level build or a respawn, in this frame
    InputState& input_;
    DebugSwitches& switches_;
};
