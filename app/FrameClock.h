#pragma once

// The game time a frame's step stands for, in seconds of the window system's clock: from the
// end of one frame to the end of the next.
class FrameClock {
public:
    // The seconds before this (loading, or the time away while minimised) never reach the
    // game: the frame after it stands for no time.
    void start(double now);
    // At the end of every frame: the next frame stands for this one's time. That holds for the
    // first frame too, however long the driver took to compile its shaders while drawing it;
    // the game step makes no frame stand for more than a quarter second (game/GameTime.h).
    void frameDone(double now);

    double frameTime = 0.0;

private:
    double lastTime_ = 0.0;
};
