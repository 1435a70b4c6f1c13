#pragma once
#include "game/Camera.h"

#include <array>
#include <glm/glm.hpp>
#include <memory>
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
class RenderTarget;
class SceneObject;
class ShaderManager;
class Window;

// One running game: the current level's objects, its height grid, the camera, the render
// targets, the HUD bars and the game state.
class Game {
public:
    Game(int width, int height, Window& window);
    ~Game();

    void update(double dt);
    void render(int pass);
    void printDebugReport(float frameTime);
    void loadLevel();
    glm::vec3 readLevel(const std::string& name);
    void applyTextureSampling(int value, bool mipmapMode);

    int heroCell = 0;
    float reportTimer = 0.0f;
    int objectsDrawn = 0;
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
    std::unique_ptr<RenderTarget> shadowTarget;
    std::array<std::unique_ptr<RenderTarget>, 3> glowTargets;
    bool paused = false;
    bool finished = false;
    std::vector<int> grid;
    float width;
    float height;
    glm::vec3 startPosition{0.0f};
    glm::mat4 projectionMatrix{1.0f};
    int currentLevel = 1;
    ShaderManager* shaderManager = nullptr;

    // The five objects every level copies from: hero, flame, cube, invisible cube, propeller.
    std::vector<std::unique_ptr<SceneObject>> prototypes;

private:
    void handleInput(float dtF);
    void updatePaused(double dt);
    void updateRunning(double dt);
    void checkFinish(float dtF);
    void clearCell(int index);
    void checkDeath();
    void createRenderTargets();
    void createPrototypes();
    void createLifeBars();
};
