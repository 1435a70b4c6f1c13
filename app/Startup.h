#pragma once
#include <functional>
#include <iostream>
#include <memory>
#include <string>

class Window;

// The window start-up opens: its size, frame rate and screen, and whether it is the player's
// (fitted into the screen's work area, with the window system's errors and the GL version on
// the console) or a tool's, which keeps the console to the game's own lines.
struct WindowRequest {
    int width;
    int height;
    int framerate;
    bool fullscreen;
    bool forThePlayer;
};

// What start-up made: the window with its GL context and every shader program built, or no
// window and why.
struct Started {
    std::unique_ptr<Window> window;
    std::string failure;
};

// The steps between reading the settings and making the main loop, in the game's order: the
// audio device and the models begin loading, then the window system, the window and its GL
// context, GL's entry points, and the shader programs. `windowReady` is told when GL is up,
// before the shaders are built (a tool times the two apart). What start-up has to say, the
// window system's errors apart, goes to `console`.
Started startUp(const WindowRequest& request, std::ostream& console = std::cout,
                const std::function<void()>& windowReady = {});
