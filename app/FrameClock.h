#pragma once

// The game time a frame's step stands for, in seconds of the window system's clock: from the
// end of one frame to the end of the next.
class FrameClock {
public:
    // The seconds before this (loading) never reach the game.
    void start(double now);
    // At the end of every frame. The first frame stands for no time: the driver compiles its
    // shaders while it draws it, and those seconds, like the loading, must not reach the game
    // as one huge step that fills a meter before the player has seen a frame.
    void frameDone(double now);

    double frameTime = 0.0;

private:
    double lastTime_ = 0.0;
    bool firstFrame_ = true;
};
