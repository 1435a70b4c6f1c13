#include "app/Settings.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

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
    EXPECT_EQ(parseSettings("width=\t\v\f +640").width, 640) << "any white space, then a sign";
    EXPECT_EQ(parseSettings("height=-0600").height, -600);
    EXPECT_EQ(parseSettings("height=- 5").height, 0) << "a sign must touch its digits";
    EXPECT_EQ(parseSettings("framerate=2147483647").framerate, 2147483647);
    EXPECT_EQ(parseSettings("framerate=-2147483648").framerate, -2147483648);
}

TEST(Settings, ANumberBeyondAnIntKeepsTheDefaultWithALineNamingKeyAndValue)
{
    // atoi wraps these (4294967295 to -1, a standstill; -2147483649 to 2147483647) or, past
    // the largest long, pins them: none is the number written.
    std::ostringstream messages;
    const Settings s = parseSettings("width=2147483648\nheight=-2147483649\nframerate=99999999999999999999\n"
                                     "difficulty=4294967294\ndifficulty=4294967295junk\n",
                                     Settings{}, messages);
    const Settings d;
    EXPECT_EQ(s.width, d.width);
    EXPECT_EQ(s.height, d.height);
    EXPECT_EQ(s.framerate, d.framerate);
    EXPECT_EQ(s.difficulty, d.difficulty);
    const std::string range = " is out of range (-2147483648 to 2147483647); using ";
    EXPECT_EQ(messages.str(), "settings.conf: width=2147483648" + range + "800\n" +
                                  "settings.conf: height=-2147483649" + range + "600\n" +
                                  "settings.conf: framerate=99999999999999999999" + range + "60\n" +
                                  "settings.conf: difficulty=4294967294" + range + "2\n" +
                                  "settings.conf: difficulty=4294967295junk" + range + "2\n");

    // The line quotes a long value only as far as it tells: the rest could be megabytes.
    messages.str("");
    EXPECT_EQ(parseSettings("width=" + std::string(100000, '9'), Settings{}, messages).width, d.width);
    EXPECT_EQ(messages.str(), "settings.conf: width=" + std::string(40, '9') + "..." + range + "800\n");
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
