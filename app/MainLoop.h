#pragma once
#include <functional>
#include <glm/glm.hpp>
#include <iostream>
#include <memory>

class FrameRenderer;
class Game;
class GamepadDevice;
class Window;
struct GLFWwindow;

// Once the settings are read and before the window is made: opens the audio device and reads
// the models on threads of their own while the window and its GL context are made, after
// telling the allocator to give big blocks freed while loading straight back to the system.
void startLoadingEarly();

// Owns the running game and its renderer and drives them frame by frame.
class MainLoop {
public:
    // Builds the renderer for the window's framebuffer, then the game, then hands the window's
    // keys and the gamepads to the game's input and its size and state changes to this loop.
    // Everything the game, its renderer, its sounds and its input devices report goes to
    // `console`, which must outlive the loop.
    explicit MainLoop(Window& window, std::ostream& console = std::cout);
    ~MainLoop();

    // Runs frames until the window closes or the game is finished.
    void run();

    // Sets the state every frame relies on and starts the frame clock; false when the window
    // is already closing and no frame should run.
    bool start();
    // One frame: the game moves by gameStep seconds of game time, is drawn, reported and
    // presented, and events are polled. Returns the seconds the game's update took.
    double runFrame(double gameStep);
    // The same frame's clears, viewports, state changes, swap and poll, with nothing moved or
    // drawn: the least a frame of this window can cost.
    void runEmptyFrame();
    // While the window is minimised the game neither moves nor draws, and the loop sleeps
    // until the window system has news; the time spent there is not played. True when the
    // window was minimised.
    bool waitWhileMinimised();

    Game& game() { return *game_; }

    // Called once a frame is drawn, before it is shown: the back buffer holds the whole frame
    // (a driver need not keep it once swapped). For tools that read frames back.
    std::function<void()> onFrameDrawn;

private:
    static void onFramebufferSize(GLFWwindow* window, int width, int height);
    static void onIconify(GLFWwindow* window, int iconified);
    static void onMaximize(GLFWwindow* window, int maximized);
    void followFramebuffer();
    void present();
    void reportGlError();

    Window& window_;
    std::unique_ptr<FrameRenderer> renderer_;
    std::unique_ptr<Game> game_;
    std::unique_ptr<GamepadDevice> gamepads_;
    glm::ivec2 framebufferSize_{0};
    bool minimised_ = false;
    bool maximised_ = false;
};

// The console line for a GL error code, as printed after a frame that raised it.
const char* glErrorMessage(unsigned int code);
