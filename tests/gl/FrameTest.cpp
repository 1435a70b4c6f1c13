// Whole frames of the real game through the real renderer, read back as pixels: what each pass
// adds to the picture, and what the report counts.
#include "GlSupport.h"

#include "gl/ShaderManager.h"

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>

namespace {

// Ten flat rows of height 1, the hero starting in the middle of row 2.
const char* const flatLevel = "1x1x1x1x1x\n1x1x1x1x1x\n1x1S1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n"
                              "1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n1x1x1x1x1x\n";

// The largest difference of one colour channel between two pictures of the same size.
int largestDifference(const Image& a, const Image& b)
{
    int largest = 0;
    for (std::size_t i = 0; i < a.rgba.size(); ++i)
        if (i % 4 != 3)
            largest = std::max(largest, std::abs(a.rgba[i] - b.rgba[i]));
    return largest;
}

// Mean brightness of a rectangle of the picture.
double meanBrightness(const Image& image, int x0, int y0, int width, int height)
{
    double sum = 0.0;
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x)
            sum += image.brightness(x, y);
    return sum / (width * height);
}

class FrameTest : public GlGameTest {
protected:
    void SetUp() override
    {
        GlGameTest::SetUp();
        buildLevel(flatLevel);
        settle();
    }

    void placeFlame(glm::vec3 offsetFromHero)
    {
        change([&](PlaySnapshot& scene) { scene.flame.position = scene.hero.position + offsetFromHero; });
    }
};

} // namespace

// The flame is the scene's light. Every object of a frame is lit by where the flame is in that
// frame: none by where it was in the frame before, and the game's first frame not by a black
// light at the origin.
TEST_F(FrameTest, EveryDrawOfAFrameIsLitByThatFramesLight)
{
    placeFlame(glm::vec3(0.0f, 1.0f, 3.0f));
    drawnFrame();
    const Image before = drawnFrame();

    placeFlame(glm::vec3(1.5f, 0.5f, 2.2f));
    const Image moved = drawnFrame();
    const Image movedAgain = drawnFrame();
    EXPECT_GT(largestDifference(before, moved), 60) << "moving the light changes the picture";
    EXPECT_EQ(largestDifference(moved, movedAgain), 0) << "the first frame after the move used the old light";

    // A program as the driver first builds it: no light, and black.
    const ShaderManager& shaders = *ShaderManager::instance();
    for (ProgramKind kind : {ProgramKind::Basic, ProgramKind::Depth}) {
        glUseProgram(shaders.program(kind));
        glUniform3f(shaders.location(kind, "light"), 0.0f, 0.0f, 0.0f);
        if (kind == ProgramKind::Basic)
            glUniform3f(shaders.location(kind, "lightColor"), 0.0f, 0.0f, 0.0f);
    }
    glUseProgram(0);
    EXPECT_EQ(largestDifference(drawnFrame(), movedAgain), 0) << "the game's first frame is lit like any other";
}

// With culling on only the cubes strictly between 8 ahead of the flame and 2 behind it are
// drawn; the report counts them with the hero, the flame, the propeller and the glow's quad.
TEST_F(FrameTest, TheCubesAroundTheFlameAreDrawnAndCounted)
{
    const auto countWithFlameAt = [&](float z) {
        change([&](PlaySnapshot& scene) { scene.flame.position.z = z; });
        drawnFrame();
        return game->objectsDrawn();
    };
    EXPECT_EQ(countWithFlameAt(0.0f), 4 + 5 * 8) << "rows at z 0 to -7: -8 is not strictly inside";
    EXPECT_EQ(countWithFlameAt(-0.5f), 4 + 5 * 9) << "rows at z 0 to -8";
    EXPECT_EQ(countWithFlameAt(-7.0f), 4 + 5 * 4) << "rows at z -6 to -9: -5 is not strictly behind";

    strikeKey(Key::F8);
    loopFrame();
    EXPECT_EQ(countWithFlameAt(-7.0f), 4 + 5 * 10) << "every cube with culling off";
}

// One small red bar per life left, six at most, at the bottom left.
TEST_F(FrameTest, TheHudShowsOneBarPerLifeLeft)
{
    const auto barsShown = [&](int lives) {
        change([&](PlaySnapshot& scene) { scene.hero.lives = lives; });
        const Image frame = drawnFrame();
        int bars = 0;
        bool inBar = false;
        const int row = 12; // y = -0.96 of the window, counted from its bottom
        for (int x = 20; x < 300; ++x) {
            const unsigned char* pixel = frame.at(x, row);
            const bool red = pixel[0] > 120 && pixel[0] > 2 * pixel[1];
            bars += red && !inBar;
            inBar = red;
        }
        return bars;
    };
    EXPECT_EQ(barsShown(4), 4);
    EXPECT_EQ(barsShown(1), 1);
    EXPECT_EQ(barsShown(9), 6);
    EXPECT_EQ(barsShown(0), 0);
}

// The flame alone, blurred at a quarter of the window and laid over the frame: a warm glow
// around the flame that reaches past its edges, confined to an area that holds all of it, and
// the HUD on top of it.
TEST_F(FrameTest, TheFlameGlowsWholeOverTheFrameAndTheHudCoversIt)
{
    placeFlame(glm::vec3(0.0f, 1.0f, 3.0f)); // in the safe band: a white light
    game->update(0.0);
    const glm::vec3 eyeOffsets[] = {{0.0f, 0.3f, 2.0f}, {1.5f, 0.8f, 3.0f}, {-0.6f, 0.1f, 1.2f}};
    for (const glm::vec3& offset : eyeOffsets) {
        SCOPED_TRACE(offset.x);
        // A camera parked behind the flame, looking past it towards the hero.
        change([&](PlaySnapshot& scene) {
            scene.camera.frozen = true;
            scene.camera.savedEye = scene.flame.position + offset;
        });
        const Image frame = drawnFrame();
        const Image flame = readImage(renderer->glowTarget(0).framebuffer, 200, 150);
        const Image blurred = readImage(renderer->glowTarget(2).framebuffer, 200, 150);
        ASSERT_GT(flame.litCount(), 20) << "the flame must be in view";
        ASSERT_TRUE(renderer->glowArea()) << "the flame lies ahead of the eye";
        const PixelRect area = *renderer->glowArea();

        int peakX = 0, peakY = 0, litOutside = 0, litOnEdge = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                if (flame.brightness(x, y) > flame.brightness(peakX, peakY)) {
                    peakX = x;
                    peakY = y;
                }
                const bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
                const bool edge = inside && (x == area.x || x == area.x + area.width - 1 || y == area.y ||
                                             y == area.y + area.height - 1);
                litOutside += !inside && flame.brightness(x, y) > 0;
                // Only an edge inside the image counts: the image's own border cuts every glow.
                litOnEdge += edge && x > 0 && x < 199 && y > 0 && y < 149 && blurred.brightness(x, y) > 0;
            }
        EXPECT_EQ(litOutside, 0) << "the flame was drawn outside its area";
        EXPECT_EQ(litOnEdge, 0) << "the blur reached the area's edge: it was cut off";
        EXPECT_EQ(flame.at(peakX, peakY)[3], 255) << "the flame is drawn opaque";
        EXPECT_GT(blurred.litCount(), flame.litCount() * 3 / 2) << "the blur spreads the flame";
        int left = peakX;
        while (left > 0 && flame.brightness(left - 1, peakY) > 2)
            --left;
        if (left >= 4) {
            EXPECT_GT(blurred.brightness(left - 3, peakY), 2) << "the glow reaches past the flame's edge";
        }
        const unsigned char* over = frame.at(4 * peakX + 2, 4 * peakY + 2);
        EXPECT_GT((over[0] + over[1] + over[2]) / 3, 100) << "the glow shows over the frame";
        EXPECT_GE(over[0], over[2]) << "and it is warm";
    }

    // The HUD goes over the glow, although the glow's quad has written depth there: with
    // the glow over the lower left, the life bars still show in their red.
    change([&](PlaySnapshot& scene) { scene.camera.savedEye = scene.flame.position + glm::vec3(-1.2f, 0.6f, 1.0f); });
    const Image frame = drawnFrame();
    const unsigned char* bar = frame.at(48, 12);
    EXPECT_GT(bar[0], 120);
    EXPECT_GT(bar[0], 2 * bar[1]) << "a life bar under the glow";
}

// While paused, the hand-steered light replaces the flame's: steering it away darkens the
// stone around the hero, and a light straight above the hero still lights it.
TEST_F(FrameTest, ThePausedLightIsSteeredByHandAndLightsFromAnywhere)
{
    placeFlame(glm::vec3(0.0f, 1.0f, 3.0f));
    pressKey(Key::Tab);
    loopFrame(0.0);
    ASSERT_TRUE(game->paused());
    const double near = meanBrightness(drawnFrame(), 300, 200, 200, 200);
    change([](PlaySnapshot& scene) { scene.flame.lightPosition += glm::vec3(0.0f, 0.0f, 9.0f); });
    const double away = meanBrightness(drawnFrame(), 300, 200, 200, 200);
    EXPECT_LT(away, 0.5 * near) << "the steered light left the hero in the dark";

    change([](PlaySnapshot& scene) { scene.flame.lightPosition = scene.hero.position + glm::vec3(0.0f, 1.5f, 0.0f); });
    EXPECT_GT(meanBrightness(drawnFrame(), 300, 200, 200, 200), 0.5 * near) << "a light straight above lights too";
}
