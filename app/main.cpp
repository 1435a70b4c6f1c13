#include "app/Console.h"
#include "app/MainLoop.h"
#include "app/Platform.h"
#include "app/Settings.h"
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

int main()
{
    platform::keepPlayingWhenTheConsoleCloses();
    if (!loadSettings()) {
        std::cout << "Can't load 'settings.conf'\n" << std::endl;
        platform::pauseConsole();
        return -1;
    }

    startLoadingEarly();
    glewExperimental = GL_TRUE;
    glfwSetErrorCallback(reportGlfwError);
    if (!glfwInit())
        failStartup("Failed to initialize glew!");

    const Settings& config = settings();
    Window window(config.width, config.height, config.framerate, config.fullscreen);
    window.fitIntoWorkArea();

    std::cout << glGetString(GL_VERSION) << std::endl;
    glewInit();

    try {
        ShaderManager::instance();
    } catch (const ShaderBuildError& failure) {
        failStartup(failure.what());
    }

    MainLoop loop(window);
    loop.run();
    return 0;
}
