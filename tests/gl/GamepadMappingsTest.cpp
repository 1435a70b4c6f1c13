// The player's gamecontrollerdb.txt handed to the real GLFW, which needs only to be initialised
// for it (no pad): what it takes is read, what it cannot read is refused in one line of ours.
#include "GlSupport.h"

#include "app/GamepadDevice.h"

namespace {

// A mapping in the community's format for a pad that does not exist.
const std::string madeUpPad =
    "03000000de000000ad00000000000000,Made-up Pad,a:b0,b:b1,leftx:a0,lefty:a1,platform:Linux,";

std::vector<std::string> glfwErrors;

class GamepadMappings : public ::testing::Test {
protected:
    void SetUp() override
    {
        requireGlContext();
        if (HasFatalFailure())
            return;
        glfwErrors.clear();
        previous_ = glfwSetErrorCallback([](int, const char* description) { glfwErrors.push_back(description); });
    }
    void TearDown() override { glfwSetErrorCallback(previous_); }

    // What loading the mappings file returns, and the console line it gives.
    std::pair<MappingsRead, std::string> load()
    {
        std::ostringstream console;
        const MappingsRead outcome = loadGamepadMappings(file().string(), console);
        return {outcome, console.str()};
    }

    std::filesystem::path file() const { return folder_.path() / "gamecontrollerdb.txt"; }

private:
    TempFolder folder_;
    GLFWerrorfun previous_ = nullptr;
};

} // namespace

TEST_F(GamepadMappings, WhatGlfwTakesIsReadAndWhatItCannotReadIsRefusedInOneLineOfOurOwn)
{
    const std::pair<std::string, MappingsRead> cases[] = {
        // As the community's file comes, and as an editor on another system may save it.
        {"# Game Controller DB\n\n" + madeUpPad + "\n03000000de0000000000000000000000,Other,a:b0,platform:Windows,\n",
         MappingsRead::Read},
        {"\xEF\xBB\xBF" + madeUpPad + "\r\n", MappingsRead::Read},
        {madeUpPad + "\ndeadbeef,half a mapping\n", MappingsRead::Refused},         // GLFW reports the second line
        {"This is not a mapping file.\n", MappingsRead::Refused},                   // GLFW would skip every line
        {madeUpPad + std::string(1, '\0') + "0300broken\n", MappingsRead::Refused}, // GLFW would stop at the NUL
        {madeUpPad + std::string(1100, 'x') + "\n", MappingsRead::Refused},         // GLFW would skip the line
        // The community's file is under a megabyte: one of more than 16 is not read at all.
        {madeUpPad + "\n" + std::string(16u << 20, '#'), MappingsRead::Refused},
    };
    const std::string read = "Gamepad mappings read from '" + file().string() + "'\n";
    const std::string refused = "Gamepad mappings in '" + file().string() + "' refused; the built-in ones are used\n";
    for (const auto& c : cases) {
        writeText(file(), c.first);
        EXPECT_EQ(load(), std::pair(c.second, c.second == MappingsRead::Read ? read : refused))
            << "case " << &c - cases;
    }
    EXPECT_TRUE(glfwErrors.empty()) << "GLFW's own messages stay off the console: " << glfwErrors.front();
    glfwUpdateGamepadMappings("0300broken\n");
    EXPECT_EQ(glfwErrors.size(), 1u) << "the game's own error callback is back in place";
}

TEST_F(GamepadMappings, NoFileOrNoRegularFileIsNoNews)
{
    EXPECT_EQ(load(), std::pair(MappingsRead::Missing, std::string()));
    WatchedFifo fifo(file());
    EXPECT_EQ(load(), std::pair(MappingsRead::Missing, std::string()));
    EXPECT_FALSE(fifo.opened());
}
