#include "app/Window.h"

#include "app/Console.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <glm/glm.hpp>
#include <iostream>
#include <limits>
#include <string>

namespace {

// X places windows in signed 16-bit coordinates: no window side can be longer.
constexpr int windowSystemLimit = 32767;

// The longest window side that can be made, and what sets it.
struct SideLimit {
    int pixels;
    const char* by;
};

// The largest window side the driver draws into, asked of a hidden window's context: GL
// knows its limits only once a context exists, and the game's window must not exist yet.
// 0 pixels when no such context can be made.
SideLimit largestSide()
{
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* probe = glfwCreateWindow(1, 1, "Tindral probe", nullptr, nullptr);
    glfwWindowHint(GLFW_VISIBLE, GLFW_TRUE);
    if (!probe)
        return {0, ""};
    glfwMakeContextCurrent(probe);
    GLint viewport[2] = {0, 0};
    GLint renderbuffer = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(probe);
    const int drawable = std::min({viewport[0], viewport[1], renderbuffer});
    if (drawable > windowSystemLimit)
        return {windowSystemLimit, "the window system can place"};
    return {drawable, "the graphics driver can draw"};
}

// GL promises a viewport at least as large as the screen it draws to, so a window that fits
// the screen needs no probe, and the usual start pays for one context only.
bool fitsTheScreen(int width, int height)
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return mode && width <= mode->width && height <= mode->height;
}

// Why a window side of `size` pixels, set as `key`, cannot be made; empty when it can.
std::string sideProblem(const char* key, int size, SideLimit limit)
{
    const std::string setting = std::string(key) + "=" + std::to_string(size);
    if (size == 0)
        return setting + " is zero: a window needs at least 1 pixel a side";
    if (size < 0)
        return setting + " is negative: a window needs at least 1 pixel a side";
    if (size > limit.pixels)
        return setting + " is more than the " + std::to_string(limit.pixels) + " pixels a side " + limit.by;
    return "";
}

// A size of 0 or less trips an assertion inside GLFW, and one larger than X or the driver
// can give ends the process in an X error: both are refused before the window is made. The
// line says which setting and why; it is empty when the size can be made.
std::string windowSizeProblem(int width, int height)
{
    const bool positive = width > 0 && height > 0;
    if (positive && fitsTheScreen(width, height))
        return "";
    const SideLimit limit = positive ? largestSide() : SideLimit{std::numeric_limits<int>::max(), ""};
    if (limit.pixels == 0)
        return "settings.conf: the window (width=" + std::to_string(width) + ", height=" + std::to_string(height) +
               ") is larger than the screen, and no GL context could be made to ask how large the graphics driver "
               "draws";
    std::string line;
    for (const std::string& problem : {sideProblem("width", width, limit), sideProblem("height", height, limit)})
        if (!problem.empty())
            line += (line.empty() ? "settings.conf: " : "; ") + problem;
    return line;
}

// The largest size of the shape of `size` that fits into `room`, in whole pixels, each side at
// least one (X refuses a window side of 0).
glm::ivec2 largestOfShapeWithin(glm::ivec2 size, glm::ivec2 room)
{
    // The products of two sides need more than an int.
    const long long width = size.x, height = size.y;
    if (room.x * height <= room.y * width)
        return {room.x, std::max(1, static_cast<int>(room.x * height / width))};
    return {std::max(1, static_cast<int>(room.y * width / height)), room.y};
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
    const std::string sizeProblem = windowSizeProblem(width, height);
    if (sizeProblem.empty())
        handle_ = glfwCreateWindow(width, height, "Tindral", monitor, nullptr);
    if (!handle_) {
        glfwTerminate();
        failStartup("Failed to open window", sizeProblem);
    }
    glfwMakeContextCurrent(handle_);
}

// Part of a window beyond the screen hides part of the picture: the life bars and meters lie
// off screen, and nothing would say why.
void Window::fitIntoWorkArea(std::ostream& console)
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (fullscreen_ || !monitor)
        return;
    glm::ivec2 area, areaSize;
    glfwGetMonitorWorkarea(monitor, &area.x, &area.y, &areaSize.x, &areaSize.y);
    int left = 0, top = 0, right = 0, bottom = 0;
    glfwGetWindowFrameSize(handle_, &left, &top, &right, &bottom);
    const glm::ivec2 room = areaSize - glm::ivec2(left + right, top + bottom);
    if ((width_ <= room.x && height_ <= room.y) || room.x <= 0 || room.y <= 0)
        return;
    const glm::ivec2 fitted = largestOfShapeWithin({width_, height_}, room);
    console << "The window of " << width_ << " x " << height_ << " does not fit the screen; it opens at " << fitted.x
            << " x " << fitted.y << ", the largest of its shape that fits" << std::endl;
    width_ = fitted.x;
    height_ = fitted.y;
    glfwSetWindowSize(handle_, width_, height_);
    glfwSetWindowPos(handle_, area.x + left, area.y + top);
}
