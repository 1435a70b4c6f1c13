#include "app/MainLoop.h"

#include "app/Settings.h"
#include "app/Window.h"
#include "game/Game.h"
#include "game/InputState.h"
#include "render/FrameRenderer.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <chrono>
#include <iostream>

namespace {

struct WindowSize {
    int width;
    int height;
};

WindowSize currentSize(GLFWwindow* window)
{
    WindowSize size{};
    glfwGetWindowSize(window, &size.width, &size.height);
    return size;
}

} // namespace

MainLoop::MainLoop(Window& window)
    : window_(window), renderer_(std::make_unique<FrameRenderer>(settings().width, settings().height))
{
    GameOptions options;
    options.music = settings().music;
    options.soundfx = settings().soundfx;
    game_ = std::make_unique<Game>(options);
    glfwSetKeyCallback(window.handle(), onKey);
}

MainLoop::~MainLoop() = default;

void MainLoop::run()
{
    if (!start())
        return;
    const double timeScale = static_cast<double>(settings().difficulty) * 0.5 + 0.5;
    while (!game_->finished) {
        runFrame(timeScale * window_.clock.frameTime);
        if (glfwWindowShouldClose(window_.handle()))
            break;
    }
}

bool MainLoop::start()
{
    const WindowSize size = currentSize(window_.handle());
    renderer_->setFixedState(size.width, size.height);
    if (glfwWindowShouldClose(window_.handle()))
        return false;
    // Start the frame clock now, not at glfwInit: the seconds spent loading must not reach
    // the game as one huge first step, which would fill a meter before the player sees a frame.
    window_.clock.start(glfwGetTime());
    return true;
}

double MainLoop::runFrame(double gameStep)
{
    renderer_->clearFrame();
    const auto updateStart = std::chrono::steady_clock::now();
    game_->update(gameStep);
    const std::chrono::duration<double> updateTime = std::chrono::steady_clock::now() - updateStart;

    const WindowSize size = currentSize(window_.handle());
    renderer_->renderFrame(*game_, size.width, size.height);
    game_->printDebugReport(static_cast<float>(window_.clock.frameTime));
    present();
    return updateTime.count();
}

void MainLoop::runEmptyFrame()
{
    renderer_->clearFrame();
    const WindowSize size = currentSize(window_.handle());
    renderer_->renderEmptyFrame(size.width, size.height);
    present();
}

void MainLoop::present()
{
    // The game is drawn for one fixed size: undo any resize by hand.
    glfwSetWindowSize(window_.handle(), window_.width(), window_.height());
    window_.clock.frameDone(glfwGetTime());

    glfwSwapBuffers(window_.handle());
    glfwPollEvents();
    reportGlError();
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
