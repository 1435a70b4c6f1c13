#include "app/Settings.h"

#include <gtest/gtest.h>

TEST(Settings, KeysGivenOverrideOnlyTheirFieldsAndTheLastOccurrenceWins)
{
    const Settings s = parseSettings("width=1024\nheight=768\nfullscreen=true\ndifficulty=1\ndifficulty=3");
    EXPECT_EQ(s.width, 1024);
    EXPECT_EQ(s.height, 768);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.difficulty, 3);
    EXPECT_EQ(s.framerate, 60);
    EXPECT_TRUE(s.music);
    EXPECT_TRUE(s.soundfx);
    EXPECT_FALSE(s.debugMode);
}

TEST(Settings, KeysAreExactUnknownLinesIgnoredAndAByteOrderMarkAtTheVeryStartSkipped)
{
    const Settings s = parseSettings("Width=1024\nheight =700\n# width=1\nno equals sign\n\nmusic =false\n");
    EXPECT_EQ(s.width, 800) << "a capitalised key is another key";
    EXPECT_EQ(s.height, 600) << "a key with a trailing space is another key";
    EXPECT_TRUE(s.music);
    EXPECT_TRUE(parseSettings("width=1024\r\nfullscreen=true\r\n").fullscreen) << "Windows line ends read alike";

    // As some editors save a file: the mark at its start must not become part of the first key.
    const Settings marked = parseSettings("\xEF\xBB\xBFwidth=1024\nheight=768\n");
    EXPECT_EQ(marked.width, 1024);
    EXPECT_EQ(marked.height, 768);
    EXPECT_EQ(parseSettings("width=1024\n\xEF\xBB\xBFheight=768\n").height, 600)
        << "a mark anywhere else is part of its key";
    EXPECT_EQ(parseSettings("\xEF\xBBwidth=1024\n").width, 800) << "part of a mark is part of the key";
}

TEST(Settings, BoolsAreTrueOnlyForExactlyTrueAndIntsConvertLikeAtoi)
{
    EXPECT_TRUE(parseSettings("debugMode=true").debugMode);
    EXPECT_FALSE(parseSettings("music=True").music);
    EXPECT_FALSE(parseSettings("music=true ").music);
    EXPECT_FALSE(parseSettings("soundfx= true").soundfx);
    EXPECT_FALSE(parseSettings("soundfx=").soundfx);

    EXPECT_EQ(parseSettings("width= 1280").width, 1280) << "leading blanks are skipped";
    EXPECT_EQ(parseSettings("width=1280px").width, 1280);
    EXPECT_EQ(parseSettings("width=wide").width, 0);
    EXPECT_EQ(parseSettings("width=1024=768").width, 1024) << "the key ends at the first '='";
}

TEST(Settings, ShippedFileHoldsEveryDefault)
{
    // Tests run in the run folder: the settings.conf the build leaves there.
    settings() = Settings{};
    settings().width = 1;
    ASSERT_TRUE(loadSettings());
    const Settings& s = settings();
    const Settings d;
    EXPECT_TRUE(s.width == d.width && s.height == d.height && s.fullscreen == d.fullscreen &&
                s.framerate == d.framerate && s.music == d.music && s.soundfx == d.soundfx &&
                s.debugMode == d.debugMode && s.difficulty == d.difficulty);
}
