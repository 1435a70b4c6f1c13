#include "app/Window.h"

#include "app/Console.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

Window::Window(int width, int height, int refreshRate, bool fullscreen)
    : width_(width), height_(height)
{
    if (!glfwInit())
        failStartup("Failed to init glfw");

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    if (refreshRate != 0)
        glfwWindowHint(GLFW_REFRESH_RATE, refreshRate);

    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    handle_ = glfwCreateWindow(width, height, "Tindral", monitor, nullptr);
    if (!handle_) {
        glfwTerminate();
        failStartup("Failed to open window");
    }
    glfwMakeContextCurrent(handle_);
}
