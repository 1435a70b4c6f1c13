#include "app/Startup.h"

#include "app/MainLoop.h"
#include "app/Window.h"
#include "gl/ShaderManager.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>

namespace {

// The window system's own reason for a failure, on the error stream, so that "Failed to open
// window" and its like can be told apart by whoever reads the console.
void reportGlfwError(int, const char* description)
{
    std::cerr << "GLFW: " << description << std::endl;
}

} // namespace

Started startUp(const WindowRequest& request, std::ostream& console, const std::function<void()>& windowReady)
{
    Started started;
    startLoadingEarly();
    glewExperimental = GL_TRUE;
    if (request.forThePlayer)
        glfwSetErrorCallback(reportGlfwError);
    if (!glfwInit()) {
        started.failure = "Failed to initialize glew!";
        return started;
    }
    auto window = std::make_unique<Window>(request.width, request.height, request.framerate, request.fullscreen);
    if (request.forThePlayer) {
        window->fitIntoWorkArea(console);
        console << glGetString(GL_VERSION) << std::endl;
    }
    glewInit();
    if (windowReady)
        windowReady();
    try {
        ShaderManager::instance(console);
    } catch (const ShaderBuildError& failure) {
        started.failure = failure.what();
        return started;
    }
    started.window = std::move(window);
    return started;
}
