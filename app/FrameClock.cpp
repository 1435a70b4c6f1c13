#include "app/FrameClock.h"

void FrameClock::start(double now)
{
    lastTime_ = now;
    frameTime = 0.0;
    firstFrame_ = true;
}

void FrameClock::frameDone(double now)
{
    frameTime = firstFrame_ ? 0.0 : now - lastTime_;
    lastTime_ = now;
    firstFrame_ = false;
}
