#include "app/FrameClock.h"

#include <gtest/gtest.h>

TEST(FrameClock, TheFirstFrameStandsForNoTimeEachLaterOneForTheTimeSinceThePrevious)
{
    FrameClock clock;
    clock.start(10.0);
    // Three seconds for the first frame, the driver compiling its shaders under load: at
    // difficulty 2 one step of 4.5 game seconds would fill the far meter at once.
    clock.frameDone(13.0);
    EXPECT_EQ(clock.frameTime, 0.0);
    clock.frameDone(13.25);
    EXPECT_DOUBLE_EQ(clock.frameTime, 0.25);
    clock.frameDone(14.0);
    EXPECT_DOUBLE_EQ(clock.frameTime, 0.75);
}
