#include "TestSupport.h"

#include "assets/Texture.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/PlaneAndPropeller.h"

#include <sstream>

namespace {

const std::string dashes(69, '-');

// A function key as the player strikes it: the switches change on the release.
void strike(int key)
{
    pressKey(key);
    releaseKey(key);
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string lineStartingWith(const std::string& text, const std::string& prefix)
{
    for (const std::string& line : linesOf(text))
        if (line.rfind(prefix, 0) == 0)
            return line;
    return "(no line starting with \"" + prefix + "\")";
}

class DebugReportTest : public GameTest {
protected:
    std::string report(float frameTime)
    {
        return printedBy([&] { game->printDebugReport(frameTime); });
    }
};

} // namespace

TEST_F(DebugReportTest, F3PrintsTheWholeReportAndDrawsLinesUntilStruckAgain)
{
    game->objectsDrawn = 7;
    pressKey(GLFW_KEY_F3);
    EXPECT_EQ(report(0.5f), "") << "nothing changes while the key is down";
    releaseKey(GLFW_KEY_F3);
    EXPECT_EQ(report(0.5f), dashes + "\ndraw Wireframe: 1\nTransparency: 0\nViewFrustum: 0 | 7 object drawn\n"
                                     "TextureSampling: 1\nLevel of MipMapping: 1\n");
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_LINE);
    EXPECT_EQ(report(0.5f), "") << "one stroke gives one report";

    strike(GLFW_KEY_F3);
    EXPECT_EQ(lineStartingWith(report(0.5f), "draw Wireframe"), "draw Wireframe: 0");
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_FILL);
}

TEST_F(DebugReportTest, EveryOtherKeyReportsItsNegatedSwitch)
{
    strike(GLFW_KEY_F4);
    EXPECT_EQ(lineStartingWith(report(0.1f), "TextureSampling"), "TextureSampling: 0");

    const char* const mipmapLines[] = {"Level of MipMapping: 0", "Level of MipMapping: 0", "Level of MipMapping: 1"};
    for (int stroke = 1; stroke <= 3; ++stroke) {
        EXPECT_EQ(printedBy([] { strike(GLFW_KEY_F5); }), "status MipMap: " + std::to_string(stroke) + "\n");
        EXPECT_EQ(debugSwitches().mipmapLevel, stroke % 3);
        EXPECT_EQ(lineStartingWith(report(0.1f), "Level of MipMapping"), mipmapLines[stroke - 1]);
    }

    strike(GLFW_KEY_F9);
    EXPECT_EQ(lineStartingWith(report(0.1f), "Transparency"), "Transparency: 1");
    game->objectsDrawn = 42;
    strike(GLFW_KEY_F8);
    EXPECT_EQ(lineStartingWith(report(0.1f), "ViewFrustum"), "ViewFrustum: 1 | 42 object drawn");
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_FILL) << "only F3 changes the polygon mode";
}

TEST_F(DebugReportTest, F2PrintsTheFrametimeOncePerAccumulatedSecond)
{
    std::string printed;
    for (int frame = 0; frame < 12; ++frame)
        printed += report(0.25f);
    EXPECT_EQ(printed, "") << "without F2 nothing is printed while no switch changes";

    strike(GLFW_KEY_F2);
    EXPECT_EQ(linesOf(report(0.25f)).size(), 6u) << "turning F2 on prints the switch report first";
    printed.clear();
    for (int frame = 0; frame < 20; ++frame)
        printed += report(0.25f);
    // 0.25 s frames: the timer passes 1.0 on every fifth frame (1.25 > 1.0), then restarts at 0.25.
    std::string expected;
    for (int line = 0; line < 4; ++line)
        expected += dashes + "\nFrametime: 0.25 4FPS\n";
    EXPECT_EQ(printed, expected);

    game->reportTimer = 1.5f;
    EXPECT_EQ(linesOf(report(1.0f / 60.0f)).at(1), "Frametime: 0.0166667 59FPS") << "the rate is truncated";
    game->reportTimer = 1.5f;
    EXPECT_EQ(linesOf(report(0.0f)).at(1), "Frametime: 0 0FPS");
}

TEST_F(DebugReportTest, TextureStrokesApplyTheFilterTableToEveryColourTexture)
{
    buildLevel("1x1x121x1x\n1x1S1x1x1x\n");
    ASSERT_EQ(game->invisCubes.size(), 1u);
    const std::vector<Texture*> textures = {
        game->hero->model.colorTexture.get(),     game->cubes[0]->model.colorTexture.get(),
        game->invisCubes[0]->model.colorTexture.get(), game->flame->model.colorTexture.get(),
        game->propeller->model.colorTexture.get(), game->plane->model.colorTexture.get()};
    for (const Texture* texture : textures)
        ASSERT_NE(texture->name, 0u);

    struct Stroke {
        int value;
        bool mipmapMode;
        GLint minFilter;
        GLint magFilter;
    };
    // Starting from linear mipmapped textures; any mipmap value but 0 and 1 is linear between.
    const Stroke strokes[] = {
        {0, false, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST}, {1, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {7, true, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},  {0, true, GL_NEAREST, GL_NEAREST},
        {1, false, GL_LINEAR, GL_LINEAR},                 {1, true, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {2, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
    };
    for (const Stroke& stroke : strokes) {
        SCOPED_TRACE(std::to_string(stroke.value) + (stroke.mipmapMode ? " (mipmap)" : " (sampling)"));
        glEnable(0xFFFF); // a pending GL_INVALID_ENUM, which a mipmap stroke discards
        game->applyTextureSampling(stroke.value, stroke.mipmapMode);
        EXPECT_EQ(glGetError() == GL_NO_ERROR, stroke.mipmapMode);
        for (const Texture* texture : textures) {
            EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MIN_FILTER), stroke.minFilter);
            EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), stroke.magFilter);
            EXPECT_EQ(stroke.mipmapMode ? texture->mipmapMode : texture->samplingMode, stroke.value);
        }
    }
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}
