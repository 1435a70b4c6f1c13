#pragma once
#include "app/FrameClock.h"

#include <ostream>

struct GLFWwindow;

// The one game window with its GL 3.3 core context, and the frame clock.
class Window {
public:
    // Opens the window and makes its context current; exits the process on failure.
    Window(int width, int height, int refreshRate, bool fullscreen);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // A window, not a full screen, whose frame does not fit the primary monitor's work area
    // (the screen less its panels) becomes the largest size of the same shape that does, with
    // a line on `console` naming both sizes; width() and height() are that size from then on.
    void fitIntoWorkArea(std::ostream& console);

    GLFWwindow* handle() const { return handle_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool fullscreen() const { return fullscreen_; }

    FrameClock clock;

private:
    GLFWwindow* handle_ = nullptr;
    int width_;
    int height_;
    bool fullscreen_;
};
