// The player's gamecontrollerdb.txt handed to the real GLFW, which needs only to be initialised
// for it (no pad): what it takes is read, what it cannot read is refused in one line of ours.
#include "GlSupport.h"

#include "app/GamepadDevice.h"

namespace {

// A mapping in the community's format for a pad that does not exist.
const std::string madeUpPad = "03000000de000000ad00000000000000,Made-up Pad,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,"
                              "leftshoulder:b4,rightshoulder:b5,dpup:h0.1,dpright:h0.2,dpdown:h0.4,dpleft:h0.8,"
                              "leftx:a0,lefty:a1,rightx:a3,righty:a4,lefttrigger:a2,righttrigger:a5,platform:Linux,";

std::vector<std::string> glfwErrors;

void recordGlfwError(int, const char* description)
{
    glfwErrors.push_back(description);
}

class GamepadMappings : public ::testing::Test {
protected:
    void SetUp() override
    {
        requireGlContext();
        if (HasFatalFailure())
            return;
        glfwErrors.clear();
        previous_ = glfwSetErrorCallback(recordGlfwError);
    }
    void TearDown() override { glfwSetErrorCallback(previous_); }

    // Loads `text` as the mappings file; returns the outcome and sets `printed`.
    MappingsRead load(const std::string& text)
    {
        writeText(file(), text);
        return loadFile();
    }

    MappingsRead loadFile()
    {
        std::ostringstream console;
        const MappingsRead outcome = loadGamepadMappings(file().string(), console);
        printed = console.str();
        return outcome;
    }

    std::filesystem::path file() const { return folder_.path() / "gamecontrollerdb.txt"; }
    std::string readLine() const { return "Gamepad mappings read from '" + file().string() + "'\n"; }
    std::string refusedLine() const
    {
        return "Gamepad mappings in '" + file().string() + "' refused; the built-in ones are used\n";
    }

    std::string printed;

private:
    TempFolder folder_;
    GLFWerrorfun previous_ = nullptr;
};

} // namespace

TEST_F(GamepadMappings, AValidLineForAMadeUpPadIsRead)
{
    EXPECT_EQ(load(madeUpPad + "\n"), MappingsRead::Read);
    EXPECT_EQ(printed, readLine());

    // As the community's file comes: a comment, blank lines, a line for another system; and as
    // an editor on another system may save it.
    EXPECT_EQ(load("# Game Controller DB\n\n" + madeUpPad + "\n" +
                   "03000000de0000000000000000000000,Other,a:b0,platform:Windows,\n"),
              MappingsRead::Read);
    EXPECT_EQ(load("\xEF\xBB\xBF" + madeUpPad + "\r\n"), MappingsRead::Read) << "byte-order mark, CRLF";
    EXPECT_TRUE(glfwErrors.empty()) << glfwErrors.front();
}

TEST_F(GamepadMappings, AFileGlfwCannotReadIsRefusedInOneLineOfOurOwn)
{
    const std::string cases[] = {
        "0300000000f00000f1000000 Broken Pad a:b0\n",       // GLFW reports the line
        madeUpPad + "\n" + "deadbeef,half a mapping\n",     // one good line, one GLFW reports
        "This is not a mapping file.\nNor is this line.\n", // GLFW would skip every line
        "# only a comment\n",
        "",
        madeUpPad + std::string(1, '\0') + "0300broken\n", // GLFW would stop at the NUL
        madeUpPad + std::string(1100, 'x') + "\n",         // GLFW would skip a line this long
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(load(text), MappingsRead::Refused);
        EXPECT_EQ(printed, refusedLine());
    }
    EXPECT_TRUE(glfwErrors.empty()) << "GLFW's own messages stay off the console: " << glfwErrors.front();

    // The community's file is under a megabyte: one of more than 16 is not read at all.
    std::string huge;
    while (huge.size() <= (16u << 20))
        huge += madeUpPad + "\n";
    EXPECT_EQ(load(huge), MappingsRead::Refused);
    EXPECT_EQ(printed, refusedLine());

    glfwUpdateGamepadMappings("0300broken\n");
    EXPECT_EQ(glfwErrors.size(), 1u) << "the game's own error callback is back in place";
}

TEST_F(GamepadMappings, NoFileOrNoRegularFileIsNoNews)
{
    EXPECT_EQ(loadFile(), MappingsRead::Missing);
    EXPECT_EQ(printed, "");

    std::filesystem::create_directories(file());
    EXPECT_EQ(loadFile(), MappingsRead::Missing);
    EXPECT_EQ(printed, "");
    std::filesystem::remove(file());

    WatchedFifo fifo(file());
    EXPECT_EQ(loadFile(), MappingsRead::Missing);
    EXPECT_EQ(printed, "");
    EXPECT_FALSE(fifo.opened());
}
