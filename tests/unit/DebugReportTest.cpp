#include "GlContext.h"

#include "app/DebugSwitches.h"
#include "app/Window.h"
#include "assets/Texture.h"
#include "game/Game.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/PlaneAndPropeller.h"

#include <IL/il.h>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <unistd.h>
#include <vector>

namespace {

// Like the real program, the test process builds one game and keeps it. Its GL objects live
// in the shared test context; the extra window (hidden, since the test context's hints are
// still set) only exists because the game registers its key callback on one.
Game& testGame()
{
    static Game* game = [] {
        auto* window = new Window(800, 600, 0, false);
        glfwMakeContextCurrent(testGlWindow());
        return new Game(800, 600, *window);
    }();
    return *game;
}

// What the key callback does when a function key is released.
void flipOnRelease(bool& debugSwitch)
{
    debugSwitch = !debugSwitch;
    debugSwitches().reportPending = true;
}

class CoutCapture {
public:
    CoutCapture() : saved_(std::cout.rdbuf(text_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(saved_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* saved_;
};

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

GLint polygonMode()
{
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    return modes[0];
}

const std::string dashes(69, '-');

class DebugReportTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        debugSwitches() = DebugSwitches{};
        game().reportTimer = 0.0f;
        game().objectsDrawn = 0;
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }

    void TearDown() override
    {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        debugSwitches() = DebugSwitches{};
        GlTest::TearDown();
    }

    static Game& game() { return testGame(); }

    static std::string report(float frameTime)
    {
        CoutCapture capture;
        game().printDebugReport(frameTime);
        return capture.text();
    }
};

TEST_F(DebugReportTest, WireframeKeyPrintsFullReportAndSwitchesPolygonMode)
{
    game().objectsDrawn = 7;
    flipOnRelease(debugSwitches().solidFill);

    EXPECT_EQ(report(0.5f), dashes + "\n"
                                     "draw Wireframe: 1\n"
                                     "Transparency: 0\n"
                                     "ViewFrustum: 0 | 7 object drawn\n"
                                     "TextureSampling: 1\n"
                                     "Level of MipMapping: 1\n");
    EXPECT_EQ(polygonMode(), GL_LINE);
    EXPECT_FALSE(debugSwitches().reportPending);
    EXPECT_FLOAT_EQ(game().reportTimer, 0.5f) << "timer restarts from this frame's time";
    EXPECT_EQ(report(0.5f), "") << "one key release gives one report";

    flipOnRelease(debugSwitches().solidFill);
    EXPECT_EQ(lineStartingWith(report(0.5f), "draw Wireframe"), "draw Wireframe: 0");
    EXPECT_EQ(polygonMode(), GL_FILL);
}

TEST_F(DebugReportTest, EachSwitchLineShowsTheNegatedSwitch)
{
    DebugSwitches& s = debugSwitches();

    flipOnRelease(s.linearSampling);
    EXPECT_EQ(lineStartingWith(report(0.1f), "TextureSampling"), "TextureSampling: 0");

    // F5 three times stores the levels 1, 2 and 0.
    const std::pair<int, const char*> mipmapLines[] = {
        {1, "Level of MipMapping: 0"}, {2, "Level of MipMapping: 0"}, {0, "Level of MipMapping: 1"}};
    for (const auto& [level, expected] : mipmapLines) {
        s.mipmapLevel = level;
        s.reportPending = true;
        EXPECT_EQ(lineStartingWith(report(0.1f), "Level of MipMapping"), expected) << "level " << level;
    }

    flipOnRelease(s.invisTransparency);
    EXPECT_EQ(lineStartingWith(report(0.1f), "Transparency"), "Transparency: 1");

    game().objectsDrawn = 42;
    flipOnRelease(s.viewFrustumCulling);
    EXPECT_EQ(lineStartingWith(report(0.1f), "ViewFrustum"), "ViewFrustum: 1 | 42 object drawn");
    EXPECT_EQ(polygonMode(), GL_FILL) << "only the wireframe switch changes the polygon mode";
}

TEST_F(DebugReportTest, FrametimeLineOncePerAccumulatedSecondOnlyWithF2)
{
    std::string printed;
    for (int frame = 0; frame < 12; ++frame)
        printed += report(0.25f);
    EXPECT_EQ(printed, "") << "without F2 nothing is printed while no switch changes";

    flipOnRelease(debugSwitches().showFrametime);
    EXPECT_EQ(linesOf(report(0.25f)).size(), 6u) << "turning F2 on prints the switch report first";

    printed.clear();
    for (int frame = 0; frame < 20; ++frame)
        printed += report(0.25f);
    // 0.25 s frames: the timer passes 1.0 on every fifth frame (1.25 > 1.0), then restarts at 0.25.
    std::string expected;
    for (int line = 0; line < 4; ++line)
        expected += dashes + "\nFrametime: 0.25 4FPS\n";
    EXPECT_EQ(printed, expected);

    game().reportTimer = 1.5f;
    EXPECT_EQ(linesOf(report(1.0f / 60.0f)).at(1), "Frametime: 0.0166667 59FPS")
        << "six significant digits; the rate is truncated, not rounded";

    game().reportTimer = 1.5f;
    EXPECT_EQ(linesOf(report(0.0f)).at(1), "Frametime: 0 0FPS");
    EXPECT_FLOAT_EQ(game().reportTimer, 0.0f);
}

// A small image on disk, so the textures are made the way the game makes them.
class TempJpeg {
public:
    TempJpeg()
        : path_(std::filesystem::temp_directory_path() /
                ("tindral_debug_report_" + std::to_string(getpid()) + ".jpg"))
    {
        ilInit();
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        std::vector<unsigned char> pixels(8 * 8 * 3, 180);
        ilTexImage(8, 8, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, pixels.data());
        ilEnable(IL_FILE_OVERWRITE);
        saved_ = ilSave(IL_JPG, path_.c_str()) == IL_TRUE;
        ilBindImage(0);
        ilDeleteImages(1, &image);
    }
    ~TempJpeg() { std::filesystem::remove(path_); }
    bool saved() const { return saved_; }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
    bool saved_ = false;
};

// Replaces the level's objects with model-less ones carrying the given colour textures:
// hero and a cube share the first (as copies of one prototype do), an invisible cube and the
// plane have their own, and the flame and propeller have none and must be passed over.
class TextureSamplingTest : public DebugReportTest {
protected:
    void SetUp() override
    {
        DebugReportTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(image.saved()) << "could not write " << image.path();
        for (auto& texture : textures)
            texture = std::make_shared<Texture>(image.path());

        const glm::vec3 origin(0.0f);
        Game& g = game();
        g.hero = std::make_unique<Hero>(origin, ModelSource::Detached);
        g.hero->model.colorTexture = textures[0];
        g.cubes.clear();
        g.cubes.push_back(std::make_unique<Cube>(origin, ModelSource::Detached));
        g.cubes.back()->model.colorTexture = textures[0];
        g.invisCubes.clear();
        g.invisCubes.push_back(std::make_unique<CubeInvis>(Cube(origin, ModelSource::Detached)));
        g.invisCubes.back()->model.colorTexture = textures[1];
        g.flame = std::make_unique<Flame>(origin, ModelSource::Detached);
        g.propeller = std::make_unique<Propeller>(origin, ModelSource::Detached);
        g.plane = std::make_unique<Plane>(origin, ModelSource::Detached);
        g.plane->model.colorTexture = textures[2];
    }

    TempJpeg image;
    std::shared_ptr<Texture> textures[3];
};

TEST_F(TextureSamplingTest, StoresEachStrokeAndLeavesUnitZeroUnbound)
{
    game().applyTextureSampling(0, false);
    for (const auto& texture : textures) {
        EXPECT_EQ(texture->samplingMode, 0);
        EXPECT_EQ(texture->mipmapMode, 2) << "a sampling stroke keeps the mipmap mode";
    }

    game().applyTextureSampling(1, true);
    for (const auto& texture : textures) {
        EXPECT_EQ(texture->samplingMode, 0) << "a mipmap stroke keeps the sampling mode";
        EXPECT_EQ(texture->mipmapMode, 1);
    }

    GLint bound = -1, activeUnit = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(activeUnit, GL_TEXTURE0);

    glEnable(0xFFFF); // leaves GL_INVALID_ENUM pending
    game().applyTextureSampling(2, true);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "a mipmap stroke discards a pending error";
}

// Needs the real Texture (upload and applyTextureFilter): the filters are read back from GL.
TEST_F(TextureSamplingTest, GlFiltersFollowEachStrokeOnEveryColourTexture)
{
    for (const auto& texture : textures)
        ASSERT_NE(texture->name, 0u) << "texture from " << image.path() << " was not uploaded";

    struct Stroke {
        int value;
        bool mipmapMode;
        GLint minFilter;
        GLint magFilter;
    };
    // The order the function keys would produce, starting from linear mipmapped textures.
    const Stroke strokes[] = {
        {0, false, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {1, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {2, true, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {0, true, GL_NEAREST, GL_NEAREST},
        {1, false, GL_LINEAR, GL_LINEAR},
        {1, true, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {2, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
    };
    for (const Stroke& stroke : strokes) {
        game().applyTextureSampling(stroke.value, stroke.mipmapMode);
        for (const auto& texture : textures) {
            GLint minFilter = 0, magFilter = 0;
            glBindTexture(GL_TEXTURE_2D, texture->name);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
            glBindTexture(GL_TEXTURE_2D, 0);
            const char* kind = stroke.mipmapMode ? " (mipmap)" : " (sampling)";
            EXPECT_EQ(minFilter, stroke.minFilter) << "value " << stroke.value << kind;
            EXPECT_EQ(magFilter, stroke.magFilter) << "value " << stroke.value << kind;
        }
    }
}

} // namespace
