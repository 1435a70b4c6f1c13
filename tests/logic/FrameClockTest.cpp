#include "app/FrameClock.h"
#include "game/GameTime.h"

#include <gtest/gtest.h>

TEST(FrameClock, TheFirstFrameStandsForNoTimeEachLaterOneForTheFrameBeforeIt)
{
    FrameClock clock;
    clock.start(10.0);
    EXPECT_EQ(clock.frameTime, 0.0) << "the loading before the first frame is not played";
    // Three seconds for the first frame, the driver compiling its shaders under load. The second
    // frame plays them, as far as a frame may stand for: at difficulty 2 a quarter second of
    // real time, not 4.5 game seconds that would fill the far meter at once.
    clock.frameDone(13.0);
    EXPECT_DOUBLE_EQ(clock.frameTime, 3.0);
    EXPECT_DOUBLE_EQ(gameTimeStep(2, clock.frameTime), 0.375);
    clock.frameDone(13.25);
    EXPECT_DOUBLE_EQ(clock.frameTime, 0.25);
    clock.frameDone(14.0);
    EXPECT_DOUBLE_EQ(clock.frameTime, 0.75);

    // Back from being minimised: the time away is not played, the frame after it is.
    clock.start(100.0);
    EXPECT_EQ(clock.frameTime, 0.0);
    clock.frameDone(100.5);
    EXPECT_DOUBLE_EQ(clock.frameTime, 0.5);
}
