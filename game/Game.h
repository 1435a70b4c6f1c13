#pragma once
#include "assets/ModelKind.h"
#include "game/Camera.h"
#include "game/DebugSwitches.h"
#include "game/InputState.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/LevelReader.h"
#include "scene/Propeller.h"

#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

// How a game is set up: the sound switches, where its level files lie and where its console
// lines go.
struct GameOptions {
    bool music = true;
    bool soundfx = true;
    std::string levelFolder = "Tindral/Levels/";
    std::ostream* console = &std::cout;
    // The first level, read elsewhere; none: level 1's file.
    std::optional<LevelLayout> firstLevel;
    // What reading each kind's model files printed. The renderer reads them once, before the
    // game is made; the game prints a kind's report wherever it makes an object of that kind
    // from the files, as often as it does. Empty without a renderer.
    ModelReports modelReports;
    // Who plays what the game asks to be heard: handed the requests after each step of the
    // set-up and after each frame. None: nobody listens, and nothing is played.
    std::function<void(const std::vector<SoundRequest>&)> hearSounds;
};

// How long each step of building the game took, in seconds.
struct GameSetupTimes {
    double sound = 0.0;
    double levelBuild = 0.0;
};

// A change of texture filtering that F4 or F5 asked for; the renderer applies it to the colour
// textures of the hero, the flame, the propeller and the glow's quad, and of the cubes and the
// invisible cubes where the level had any at the key.
struct TextureSamplingChange {
    int value;
    bool mipmapMode;
    bool reachesCubes = true;
    bool reachesInvisibleCubes = true;
};

// Everything of a running game that its frames and its level builds change: the level being
// played and all that happens in it. A copy of it is a snapshot a search plays on from later,
// or a test changes to set up a scene; assigning it back restores the game. It belongs to the
// level it was taken in.
struct LevelState {
    int heroCell = 0;
    std::vector<Cube> cubes;
    std::vector<CubeInvis> invisCubes;
    std::vector<Bar> lifeBars;
    Bar farBar{glm::vec3(0.0f), glm::vec3(0.0f)};
    Bar nearBar{glm::vec3(0.0f), glm::vec3(0.0f)};
    Hero hero{glm::vec3(0.0f)};
    Flame flame{glm::vec3(0.0f)};
    std::optional<CubeFinish> finishCube;
    Propeller propeller{glm::vec3(0.0f)};
    Camera camera;
    bool paused = false;
    bool finished = false;
    std::vector<int> grid;
    glm::vec3 startPosition{0.0f};
    int currentLevel = 1;
};

// One running game: the current level's objects, its height grid, the camera, the HUD bars
// and the game state. It knows nothing of windows or GL: the renderer reads it to draw a
// frame, and the key callback's input reaches it through its InputState.
class Game {
public:
    explicit Game(const GameOptions& options = GameOptions{}, InputState& input = inputState(),
                  DebugSwitches& switches = debugSwitches());
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // One frame: `dt` seconds of game time, run in sub-steps when long (game/GameTime.h).
    void update(double dt);
    // How fast the keys steer the hero: on its ground, and in the air (weaker).
    static constexpr float groundSpeed = 2.5f;
    static constexpr float airSpeed = 1.5f;
    // The debug report, once per frame; a switch change prints all switches and settles the
    // polygon mode the renderer draws with.
    void printDebugReport(float frameTime);
    // Builds level `number` from its file in the level folder (a missing one is empty)...
    void loadLevel(int number);
    // ...or from a layout read elsewhere.
    void loadLevel(const LevelLayout& layout, int number);

    const LevelState& state() const { return level_; }
    void restore(const LevelState& state);

    const Hero& hero() const { return level_.hero; }
    const Flame& flame() const { return level_.flame; }
    const Propeller& propeller() const { return level_.propeller; }
    const std::vector<Cube>& cubes() const { return level_.cubes; }
    const std::vector<CubeInvis>& invisCubes() const { return level_.invisCubes; }
    const CubeFinish* finishCube() const { return level_.finishCube ? &*level_.finishCube : nullptr; }
    const Bar& nearBar() const { return level_.nearBar; }
    const Bar& farBar() const { return level_.farBar; }
    const std::vector<Bar>& lifeBars() const { return level_.lifeBars; }
    const Camera& camera() const { return level_.camera; }
    const std::vector<int>& grid() const { return level_.grid; }
    glm::vec3 startPosition() const { return level_.startPosition; }
    int heroCell() const { return level_.heroCell; }
    int currentLevel() const { return level_.currentLevel; }
    bool paused() const { return level_.paused; }
    bool finished() const { return level_.finished; }
    float reportTimer() const { return reportTimer_; }
    const GameSetupTimes& setupTimes() const { return setupTimes_; }
    InputState& input() const { return input_; }
    DebugSwitches& switches() const { return switches_; }
    // Where the game's console lines go: what reports on its behalf (its keys, its pads, what
    // plays its sounds) writes there too.
    std::ostream& console() const { return console_; }

    // What the debug keys ask of the renderer: lines instead of filled polygons (as of the
    // last report), and the texture filter changes made since they were last taken.
    bool wireframe() const { return wireframe_; }
    std::vector<TextureSamplingChange> takeSamplingChanges();
    // The objects the renderer drew in the last frame, for the report.
    int objectsDrawn() const { return objectsDrawn_; }
    void setObjectsDrawn(int count) { objectsDrawn_ = count; }

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
    void reportModelRead(ModelKind kind);
    void collectSounds();
    void handOverSounds();
    void createLifeBars();
    void startLevel(int number);
    std::optional<LevelLayout> readLevel(const std::string& name);
    void buildLevel(const LevelLayout& level);

    GameOptions options_;
    std::ostream& console_;
    InputState& input_;
    DebugSwitches& switches_;

    float reportTimer_ = 0.0f;
    int objectsDrawn_ = 0;
    LevelState level_;
    bool heroPlacedAnew_ = false; // by a level build or a respawn, in this frame
    bool wireframe_ = false;
    std::vector<TextureSamplingChange> samplingChanges_;
    GameSetupTimes setupTimes_;
    SoundRequests sounds_; // made since they were last handed over
};
