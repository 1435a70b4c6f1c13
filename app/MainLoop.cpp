#include "app/MainLoop.h"

#include "app/Settings.h"
#include "app/Window.h"
#include "game/Game.h"
#include "render/RenderPass.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>

MainLoop::MainLoop(Window& window)
    : window_(window),
      game_(std::make_unique<Game>(settings().width, settings().height, window))
{
}

MainLoop::~MainLoop() = default;

void MainLoop::setFixedState()
{
    glCullFace(GL_BACK);
    glClearColor(0, 0, 0, 1);
    int w, h;
    glfwGetWindowSize(window_.handle(), &w, &h);
    glViewport(0, 0, w, h);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void MainLoop::run()
{
    setFixedState();
    if (glfwWindowShouldClose(window_.handle()))
        return;
    // Start the frame clock now, not at glfwInit: the seconds spent loading must not reach
    // the game as one huge first step, which would fill a meter before the player sees a frame.
    window_.lastTime = glfwGetTime();
    while (!game_->finished) {
        runFrame();
        if (glfwWindowShouldClose(window_.handle()))
            break;
    }
}

void MainLoop::runFrame()
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const double timeScale = static_cast<double>(settings().difficulty) * 0.5 + 0.5;
    game_->update(timeScale * window_.frameTime);

    renderPasses();
    game_->printDebugReport(static_cast<float>(window_.frameTime));

    // The game is drawn for one fixed size: undo any resize by hand.
    glfwSetWindowSize(window_.handle(), window_.width(), window_.height());

    const double now = glfwGetTime();
    window_.frameTime = now - window_.lastTime;
    window_.lastTime = now;

    glfwSwapBuffers(window_.handle());
    glfwPollEvents();
    reportGlError();
}

void MainLoop::renderPasses()
{
    int w, h;
    glfwGetWindowSize(window_.handle(), &w, &h);
    glViewport(0, 0, 4 * w, 4 * h);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0, 0);
    glCullFace(GL_FRONT);
    game_->render(RenderPass::Shadow);

    glfwGetWindowSize(window_.handle(), &w, &h);
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 1);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_BACK);
    game_->render(RenderPass::Main);
    game_->render(RenderPass::Transparent);

    glfwGetWindowSize(window_.handle(), &w, &h);
    glViewport(0, 0, static_cast<int>(w * 0.25), static_cast<int>(h * 0.25));
    glClearColor(0, 0, 0, 0);
    game_->render(RenderPass::FlameGlow);
    glClearColor(0, 0, 0, 0);
    game_->render(RenderPass::Glow);

    glfwGetWindowSize(window_.handle(), &w, &h);
    glViewport(0, 0, w, h);
    game_->render(RenderPass::Hud);
}

const char* glErrorMessage(unsigned int code)
{
    switch (code) {
    case 0x0500: return "GL: enum argument out of range.";
    case 0x0501: return "GL: Numeric argument out of range.";
    case 0x0502: return "GL: Operation illegal in current state.";
    case 0x0505: return "GL: Not enough memory left to execute command.";
    case 0x0506: return "GL: Framebuffer object is not complete.";
    default: return "GL: Unknown error.";
    }
}

void MainLoop::reportGlError()
{
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        std::cerr << glErrorMessage(error) << std::endl;
}
