#include "app/MainLoop.h"

#include "app/GamepadDevice.h"
#include "app/Platform.h"
#include "app/Settings.h"
#include "app/Window.h"
#include "assets/SoundManager.h"
#include "game/Game.h"
#include "game/GameTime.h"
#include "game/InputState.h"
#include "game/Keys.h"
#include "render/FrameRenderer.h"
#include "render/ModelLibrary.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <chrono>
#include <iostream>

namespace {

static_assert(Key::A == GLFW_KEY_A && Key::Z == GLFW_KEY_Z && Key::Space == GLFW_KEY_SPACE &&
                  Key::Escape == GLFW_KEY_ESCAPE && Key::Enter == GLFW_KEY_ENTER && Key::Tab == GLFW_KEY_TAB &&
                  Key::F2 == GLFW_KEY_F2 && Key::F9 == GLFW_KEY_F9,
              "the game's keys are GLFW's");
static_assert(KeyAction::Press == GLFW_PRESS && KeyAction::Release == GLFW_RELEASE && KeyAction::Repeat == GLFW_REPEAT,
              "the game's key actions are GLFW's");

// Every key event of the window goes to the process-wide input the game reads; what a key
// has to say, to the game's console.
void onKey(GLFWwindow* window, int key, int, int action, int)
{
    if (auto* loop = static_cast<MainLoop*>(glfwGetWindowUserPointer(window)))
        recordKey(inputState(), debugSwitches(), key, action, loop->game().console());
}

} // namespace

void startLoadingEarly()
{
    // Before the loading threads start, or their first freed blocks stay in the heap.
    platform::returnLargeBlocksWhenFreed();
    SoundManager::instance().openDeviceEarly(settings().music, settings().soundfx);
    decodeModelsEarly();
}

MainLoop::MainLoop(Window& window, std::ostream& console) : window_(window)
{
    glfwGetFramebufferSize(window.handle(), &framebufferSize_.x, &framebufferSize_.y);
    renderer_ = std::make_unique<FrameRenderer>(framebufferSize_.x, framebufferSize_.y, console);
    GameOptions options;
    options.music = settings().music;
    options.soundfx = settings().soundfx;
    options.console = &console;
    options.modelReports = renderer_->models().reports();
    options.hearSounds = [&console](const std::vector<SoundRequest>& requests) {
        SoundManager::instance().play(requests, console);
    };
    game_ = std::make_unique<Game>(options);
    // The window's callbacks find this loop, and the game's console, through the window.
    glfwSetWindowUserPointer(window.handle(), this);
    glfwSetKeyCallback(window.handle(), onKey);
    // The player's mappings first: they decide which of the joysticks already there are pads.
    loadGamepadMappings(gamepadMappingsFile, console);
    gamepads_ = std::make_unique<GamepadDevice>(game_->input(), console);
    glfwSetFramebufferSizeCallback(window.handle(), onFramebufferSize);
    glfwSetWindowIconifyCallback(window.handle(), onIconify);
    minimised_ = glfwGetWindowAttrib(window.handle(), GLFW_ICONIFIED) == GLFW_TRUE;
    glfwSetWindowMaximizeCallback(window.handle(), onMaximize);
    // The models were read on a thread of their own.
    platform::releaseFreedMemory();
}

MainLoop::~MainLoop()
{
    glfwSetWindowUserPointer(window_.handle(), nullptr);
}

void MainLoop::run()
{
    if (!start())
        return;
    while (!game_->finished()) {
        if (!waitWhileMinimised())
            runFrame(gameTimeStep(settings().difficulty, window_.clock.frameTime));
        if (glfwWindowShouldClose(window_.handle()))
            break;
    }
}

bool MainLoop::start()
{
    renderer_->setFixedState();
    if (glfwWindowShouldClose(window_.handle()))
        return false;
    // Start the frame clock now, not at glfwInit: the seconds spent loading must not reach
    // the game as one huge first step, which would fill a meter before the player sees a frame.
    window_.clock.start(glfwGetTime());
    return true;
}

double MainLoop::runFrame(double gameStep)
{
    followFramebuffer();
    renderer_->clearFrame();
    gamepads_->poll(glfwGetTime());
    const auto updateStart = std::chrono::steady_clock::now();
    game_->update(gameStep);
    const std::chrono::duration<double> updateTime = std::chrono::steady_clock::now() - updateStart;

    renderer_->applyDebugViews(game_->wireframe(), game_->takeSamplingChanges());
    game_->setObjectsDrawn(renderer_->renderFrame(*game_));
    game_->printDebugReport(static_cast<float>(window_.clock.frameTime));
    present();
    return updateTime.count();
}

void MainLoop::runEmptyFrame()
{
    followFramebuffer();
    renderer_->clearFrame();
    renderer_->renderEmptyFrame();
    present();
}

bool MainLoop::waitWhileMinimised()
{
    if (!minimised_)
        return false;
    SoundManager::instance().setPaused(true);
    while (minimised_ && !glfwWindowShouldClose(window_.handle()))
        glfwWaitEvents();
    SoundManager::instance().setPaused(false);
    window_.clock.start(glfwGetTime());
    return true;
}

// The window system, not the settings, decides how many pixels there are to draw: a window
// manager maximises, a full screen takes the monitor's mode, a HiDPI screen doubles them.
void MainLoop::onFramebufferSize(GLFWwindow* window, int width, int height)
{
    auto* loop = static_cast<MainLoop*>(glfwGetWindowUserPointer(window));
    // A minimised window reports no pixels at all; it is drawn at its old size when it returns.
    if (loop && width > 0 && height > 0)
        loop->framebufferSize_ = glm::ivec2(width, height);
}

void MainLoop::onIconify(GLFWwindow* window, int iconified)
{
    if (auto* loop = static_cast<MainLoop*>(glfwGetWindowUserPointer(window)))
        loop->minimised_ = iconified == GLFW_TRUE;
}

void MainLoop::onMaximize(GLFWwindow* window, int maximized)
{
    if (auto* loop = static_cast<MainLoop*>(glfwGetWindowUserPointer(window)))
        loop->maximised_ = maximized == GLFW_TRUE;
}

void MainLoop::followFramebuffer()
{
    renderer_->resize(framebufferSize_.x, framebufferSize_.y);
}

void MainLoop::present()
{
    // The game keeps the window at its configured size: undo any resize by hand. A full
    // screen has the monitor's size, whatever the settings ask, and a maximised window the
    // size its window manager gave it (Windows would otherwise shrink it, maximised still).
    if (!window_.fullscreen() && !maximised_)
        glfwSetWindowSize(window_.handle(), window_.width(), window_.height());
    window_.clock.frameDone(glfwGetTime());

    if (onFrameDrawn)
        onFrameDrawn();
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
