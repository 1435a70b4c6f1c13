#include "app/Settings.h"

#include <gtest/gtest.h>

TEST(Settings, KeysGivenOverrideOnlyTheirFields)
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

    const Settings empty = parseSettings("");
    EXPECT_EQ(empty.width, 800);
    EXPECT_EQ(empty.height, 600);
}

TEST(Settings, KeysAreExactAndUnknownLinesAreIgnored)
{
    const Settings s = parseSettings("Width=1024\nheight =700\n# width=1\nno equals sign\n\n"
                                     "music =false\nsoundfx= true\n");
    EXPECT_EQ(s.width, 800) << "a capitalised key is another key";
    EXPECT_EQ(s.height, 600) << "a key with a trailing space is another key";
    EXPECT_TRUE(s.music);
    EXPECT_FALSE(s.soundfx) << "a value with a leading space is not \"true\"";
}

TEST(Settings, BoolsAreTrueOnlyForExactlyTrue)
{
    EXPECT_TRUE(parseSettings("fullscreen=true").fullscreen);
    EXPECT_FALSE(parseSettings("music=True").music);
    EXPECT_FALSE(parseSettings("music=true ").music);
    EXPECT_FALSE(parseSettings("soundfx=").soundfx);
    EXPECT_TRUE(parseSettings("debugMode=true").debugMode) << "stored even though nothing reads it";
}

TEST(Settings, IntsConvertLikeAtoi)
{
    EXPECT_EQ(parseSettings("width= 1280").width, 1280) << "leading blanks are skipped";
    EXPECT_EQ(parseSettings("width=1280px").width, 1280);
    EXPECT_EQ(parseSettings("width=wide").width, 0);
    EXPECT_EQ(parseSettings("difficulty=-1").difficulty, -1);
    EXPECT_EQ(parseSettings("framerate=0").framerate, 0);
    EXPECT_EQ(parseSettings("width=1024=768").width, 1024) << "the key ends at the first '='";
}

TEST(Settings, LastOccurrenceWinsAndOrderIsFree)
{
    const Settings s = parseSettings("difficulty=1\nheight=720\ndifficulty=3");
    EXPECT_EQ(s.difficulty, 3);
    EXPECT_EQ(s.height, 720);
}

TEST(Settings, WindowsLineEndsReadLikeUnixOnes)
{
    const Settings s = parseSettings("width=1024\r\nfullscreen=true\r\nmusic=false\r\n");
    EXPECT_EQ(s.width, 1024);
    EXPECT_TRUE(s.fullscreen) << "a carriage return must not turn true into false";
    EXPECT_FALSE(s.music);
}

TEST(Settings, ShippedDefaultFileHoldsEveryDefault)
{
    // Tests run in the run folder: the settings.conf the build leaves there.
    settings() = Settings{};
    settings().width = 1;
    ASSERT_TRUE(loadSettings());
    const Settings& s = settings();
    const Settings defaults;
    EXPECT_EQ(s.width, defaults.width);
    EXPECT_EQ(s.height, defaults.height);
    EXPECT_EQ(s.fullscreen, defaults.fullscreen);
    EXPECT_EQ(s.framerate, defaults.framerate);
    EXPECT_EQ(s.music, defaults.music);
    EXPECT_EQ(s.soundfx, defaults.soundfx);
    EXPECT_EQ(s.debugMode, defaults.debugMode);
    EXPECT_EQ(s.difficulty, defaults.difficulty);
}
