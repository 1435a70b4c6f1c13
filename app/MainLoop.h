#pragma once
#include <memory>

class Game;
class Window;

// Owns the running game and drives it frame by frame.
class MainLoop {
public:
    explicit MainLoop(Window& window);
    ~MainLoop();

    // Runs frames until the window closes or the game is finished.
    void run();

private:
    void setFixedState();
    void runFrame();
    void renderPasses();
    void reportGlError();

    Window& window_;
    std::unique_ptr<Game> game_;
};

// The console line for a GL error code, as printed after a frame that raised it.
const char* glErrorMessage(unsigned int code);
