#include "app/Settings.h"

#include <gtest/gtest.h>

TEST(Settings, ThreeKeysOverrideOnlyTheirFields)
{
    const Settings s = parseSettings("width=1024\nheight=768\nfullscreen=true\n");
    EXPECT_EQ(s.width, 1024);
    EXPECT_EQ(s.height, 768);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.framerate, 60);
    EXPECT_TRUE(s.music);
    EXPECT_TRUE(s.soundfx);
    EXPECT_FALSE(s.debugMode);
    EXPECT_EQ(s.difficulty, 2);
}
