#include "game/Game.h"

#include "app/Settings.h"
#include "app/Window.h"
#include "assets/SoundManager.h"
#include "game/InputState.h"
#include "render/RenderTarget.h"
#include "render/ShaderManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/PlaneAndPropeller.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

Game::Game(int width, int height, Window& window)
    : width(static_cast<float>(width)), height(static_cast<float>(height))
{
    shaderManager = ShaderManager::instance();
    paused = false;
    camera = std::make_unique<Camera>();
    currentLevel = 1;
    createRenderTargets();
    SoundManager::instance().initSound(settings().music, settings().soundfx);
    createPrototypes();
    glfwSetKeyCallback(window.handle(), onKey);
    projectionMatrix = glm::perspective(glm::radians(60.0f), static_cast<float>(width) / static_cast<float>(height),
                                        0.01f, 30.0f);
    createLifeBars();
    loadLevel();
}

Game::~Game() = default;

void Game::createRenderTargets()
{
    shadowTarget = std::make_unique<RenderTarget>();
    shadowTarget->init(static_cast<int>(4 * width), static_cast<int>(4 * height));
    const int glowWidth = static_cast<int>(static_cast<double>(width) * 0.25);
    const int glowHeight = static_cast<int>(static_cast<double>(height) * 0.25);
    for (auto& target : glowTargets) {
        target = std::make_unique<RenderTarget>();
        target->init(glowWidth, glowHeight);
    }
}

void Game::createPrototypes()
{
    const glm::vec3 origin(0.0f);
    prototypes.push_back(std::make_unique<Hero>(origin));
    prototypes.push_back(std::make_unique<Flame>(origin));
    prototypes.push_back(std::make_unique<Cube>(origin));
    prototypes.push_back(std::make_unique<CubeInvis>(Cube(origin)));
    prototypes.push_back(std::make_unique<Propeller>(origin));
}

void Game::createLifeBars()
{
    Bar model(glm::vec3(-0.9f, -0.96f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    model.value = 0.04f;
    for (float x : {-0.9f, -0.8f, -0.7f, -0.6f, -0.5f, -0.4f}) {
        model.position = glm::vec3(x, -0.96f, 0.0f);
        lifeBars.push_back(std::make_unique<Bar>(model));
    }
}
