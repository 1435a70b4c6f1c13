#include "app/Window.h"

#include "app/Console.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>

namespace {

// X places windows in signed 16-bit coordinates: no window side can be longer.
constexpr int windowSystemLimit = 32767;

// The largest window side the driver draws into, asked of a hidden window's context: GL
// knows its limits only once a context exists, and the game's window must not exist yet.
// 0 when no such context can be made.
int largestDrawableSide()
{
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* probe = glfwCreateWindow(1, 1, "Tindral probe", nullptr, nullptr);
    glfwWindowHint(GLFW_VISIBLE, GLFW_TRUE);
    if (!probe)
        return 0;
    glfwMakeContextCurrent(probe);
    GLint viewport[2] = {0, 0};
    GLint renderbuffer = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(probe);
    return std::min({viewport[0], viewport[1], renderbuffer, windowSystemLimit});
}

// GL promises a viewport at least as large as the screen it draws to, so a window that fits
// the screen needs no probe, and the usual start pays for one context only.
bool fitsTheScreen(int width, int height)
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return mode && width <= mode->width && height <= mode->height;
}

// A size of 0 or less trips an assertion inside GLFW, and one larger than X or the driver
// can give ends the process in an X error: both are refused before the window is made.
bool windowSizeFits(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (fitsTheScreen(width, height))
        return true;
    const int largest = largestDrawableSide();
    return width <= largest && height <= largest;
}

} // namespace

Window::Window(int width, int height, int refreshRate, bool fullscreen)
    : width_(width), height_(height), fullscreen_(fullscreen)
{
    if (!glfwInit())
        failStartup("Failed to init glfw");

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    if (refreshRate != 0)
        glfwWindowHint(GLFW_REFRESH_RATE, refreshRate);

    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    if (windowSizeFits(width, height))
        handle_ = glfwCreateWindow(width, height, "Tindral", monitor, nullptr);
    if (!handle_) {
        glfwTerminate();
        failStartup("Failed to open window");
    }
    glfwMakeContextCurrent(handle_);
}
