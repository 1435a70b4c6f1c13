#include "app/FrameClock.h"

void FrameClock::start(double now)
{
    lastTime_ = now;
    frameTime = 0.0;
}

void FrameClock::frameDone(double now)
{
    frameTime = now - lastTime_;
    lastTime_ = now;
}
