// Whole frames of the real game through the real renderer, read back as pixels: what each pass
// adds to the picture, and what the report counts.
#include "GlSupport.h"

#include "gl/ShaderManager.h"
#include "render/CameraView.h"

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>

namespace {

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

// The smallest rectangle that holds every lit pixel: left, bottom, right, top.
glm::ivec4 litBox(const Image& image)
{
    glm::ivec4 box(image.width, image.height, -1, -1);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.brightness(x, y) > 2)
                box = glm::ivec4(std::min(box.x, x), std::min(box.y, y), std::max(box.z, x), std::max(box.w, y));
    return box;
}

class FrameTest : public GlGameTest {
protected:
    void SetUp() override
    {
        GlGameTest::SetUp();
        if (HasFatalFailure())
            return;
        buildLevel(flatLevel);
        settle();
    }
};

} // namespace

// The flame is the scene's light. Every object of a frame is lit by where the flame is in that
// frame: none by where it was in the frame before, and the game's first frame not by a black
// light at the origin.
TEST_F(FrameTest, EveryDrawOfAFrameIsLitByThatFramesLight)
{
    placeFlame();
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
        change([&](LevelState& scene) { scene.flame.position.z = z; });
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
        change([&](LevelState& scene) { scene.hero.lives = lives; });
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
    placeFlame(); // in the safe band: a white light
    game->update(0.0);
    const glm::vec3 eyeOffsets[] = {{0.0f, 0.3f, 2.0f}, {1.5f, 0.8f, 3.0f}, {-0.6f, 0.1f, 1.2f}};
    for (const glm::vec3& offset : eyeOffsets) {
        SCOPED_TRACE(offset.x);
        // A camera parked behind the flame, looking past it towards the hero.
        change([&](LevelState& scene) {
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
        // The blur steps one texel of the glow's image either way, so it spreads as far up and
        // down as to the sides, in a wide window as in any other.
        const glm::ivec4 flameBox = litBox(flame), glowBox = litBox(blurred);
        const bool clearOfTheBorder = glowBox.x > 0 && glowBox.y > 0 && glowBox.z < 199 && glowBox.w < 149;
        if (clearOfTheBorder) {
            const int across = (flameBox.x - glowBox.x) + (glowBox.z - flameBox.z);
            const int upAndDown = (flameBox.y - glowBox.y) + (glowBox.w - flameBox.w);
            EXPECT_NEAR(upAndDown, across, 2) << "the glow spreads unevenly";
        }
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
    change([&](LevelState& scene) { scene.camera.savedEye = scene.flame.position + glm::vec3(-1.2f, 0.6f, 1.0f); });
    const Image frame = drawnFrame();
    const unsigned char* bar = frame.at(48, 12);
    EXPECT_GT(bar[0], 120);
    EXPECT_GT(bar[0], 2 * bar[1]) << "a life bar under the glow";
}

namespace {

// A renderer drawing from a copy of the run folder's models, some of them changed.
template <class Change>
std::unique_ptr<FrameRenderer> rendererWithModels(Change&& changeModels)
{
    TempFolder folder;
    const std::filesystem::path models = folder.path() / "Tindral" / "3DModels";
    std::filesystem::create_directories(models);
    std::filesystem::copy("Tindral/3DModels", models, std::filesystem::copy_options::recursive);
    changeModels(models);
    WorkingDirectory inFolder(folder.path());
    std::unique_ptr<FrameRenderer> renderer;
    printedBy([&] { renderer = std::make_unique<FrameRenderer>(800, 600); });
    return renderer;
}

} // namespace

// The glow's quad and the HUD's bars are drawn with back faces culled, as everything else is:
// turned away from the viewer, they are as good as not there.
TEST_F(FrameTest, TheGlowAndTheHudCullBackFacesAsEveryPassDoes)
{
    placeFlame();
    game->update(0.0);
    change([&](LevelState& scene) {
        scene.camera.frozen = true;
        scene.camera.savedEye = scene.flame.position + glm::vec3(-1.2f, 0.6f, 1.0f);
    });
    const Image shipped = drawnFrame();
    const char* const screenModels[] = {"bar/bar.obj", "plane/plane.obj"};
    renderer = rendererWithModels([&](const std::filesystem::path& models) {
        for (const char* model : screenModels)
            std::filesystem::remove(models / model);
    });
    const Image without = drawnFrame();
    // The quad as the file lists it, counter-clockwise about +z: the import turns it round.
    renderer = rendererWithModels([&](const std::filesystem::path& models) {
        for (const char* model : screenModels)
            writeText(models / model, quadObj());
    });
    const Image turnedAway = drawnFrame();
    EXPECT_GT(largestDifference(shipped, without), 100) << "the glow and the HUD show in the frame";
    EXPECT_EQ(largestDifference(turnedAway, without), 0) << "a quad turned away from the viewer was drawn";
}

// While paused, the hand-steered light replaces the flame's: steering it away darkens the
// stone around the hero, and a light straight above the hero still lights it.
TEST_F(FrameTest, ThePausedLightIsSteeredByHandAndLightsFromAnywhere)
{
    placeFlame();
    pressKey(Key::Tab);
    loopFrame(0.0);
    ASSERT_TRUE(game->paused());
    const double near = meanBrightness(drawnFrame(), 300, 200, 200, 200);
    change([](LevelState& scene) { scene.flame.lightPosition += glm::vec3(0.0f, 0.0f, 9.0f); });
    const double away = meanBrightness(drawnFrame(), 300, 200, 200, 200);
    EXPECT_LT(away, 0.5 * near) << "the steered light left the hero in the dark";

    change([](LevelState& scene) { scene.flame.lightPosition = scene.hero.position + glm::vec3(0.0f, 1.5f, 0.0f); });
    EXPECT_GT(meanBrightness(drawnFrame(), 300, 200, 200, 200), 0.5 * near) << "a light straight above lights too";
}

// The passes read one view of the frame: the shadow pass looks from the light the lit passes
// light with (the hand-steered one while paused), and the lit passes look up the map with the
// same view of it.
TEST_F(FrameTest, EveryPassReadsTheSameViewOfTheFrame)
{
    placeFlame();
    pressKey(Key::Tab);
    loopFrame(0.0);
    change([](LevelState& scene) { scene.flame.lightPosition += glm::vec3(0.5f, 0.7f, -0.2f); });
    drawnFrame();
    const FrameRenderer::FrameView& view = renderer->frameView();
    const glm::vec3 light = game->flame().light();
    ASSERT_NE(light, game->flame().position) << "the steered light has left the flame";
    EXPECT_EQ(view.light, light);
    EXPECT_EQ(view.eye, game->camera().savedEye) << "a frozen camera sees from the eye it keeps";

    const ShaderManager& shaders = *ShaderManager::instance();
    const auto uniform = [&](ProgramKind kind, const char* name, int size) {
        std::vector<float> value(static_cast<std::size_t>(size));
        glGetUniformfv(shaders.program(kind), shaders.location(kind, name), value.data());
        return value;
    };
    const auto floats = [](const float* first, int size) { return std::vector<float>(first, first + size); };
    EXPECT_EQ(uniform(ProgramKind::Depth, "camPosition", 3), floats(&light.x, 3)) << "the map is seen from the light";
    EXPECT_EQ(uniform(ProgramKind::Basic, "light", 3), floats(&light.x, 3));
    const glm::mat4 mapView = shadowView(light, game->hero().position);
    EXPECT_EQ(uniform(ProgramKind::Basic, "depthViewMat", 16), floats(&mapView[0][0], 16));
    const glm::mat4 mapClip = shadowProjection(800.0f / 600.0f) * mapView;
    EXPECT_EQ(uniform(ProgramKind::Depth, "viewMatrix", 16), floats(&mapClip[0][0], 16));
}

namespace {

// A half-faded invisible cube, one higher than the floor, with a high column behind it as the
// camera sees it: the column shows through the cube.
const char* const glassLevel = "1x1x1x1x1x\n1x1x1S1x1x\n1x1x1x1x1x\n1x1x221x1x\n1x1x3x1x1x\n1x1x3x1x1x\n";

} // namespace

// The transparent pass blends each invisible cube over the opaque scene drawn before it: what
// stands behind a half-faded cube shows through it half.
TEST_F(FrameTest, AnInvisibleCubeIsBlendedOverTheSceneBehindIt)
{
    buildLevel(glassLevel);
    settle();
    // The light beside the cube and in front of it, where the camera looks.
    placeFlame(glm::vec3(1.0f, 1.2f, -1.0f));
    game->update(0.0);
    const auto frameWithCube = [&](float transparency, bool broken) {
        change([&](LevelState& scene) {
            scene.invisCubes.at(0).transparency = transparency;
            scene.invisCubes.at(0).broken = broken;
        });
        return drawnFrame();
    };
    const Image behind = frameWithCube(1.0f, true); // the cube gone: only what is behind it
    const Image opaque = frameWithCube(1.0f, false);
    const Image half = frameWithCube(0.5f, false);
    EXPECT_EQ(largestDifference(drawnFrame(), half), 0) << "a frame leaves the next nothing of its opacity";

    int covered = 0;
    double blendError = 0.0;
    for (int y = 0; y < behind.height; ++y)
        for (int x = 0; x < behind.width; ++x) {
            const int b = behind.brightness(x, y), o = opaque.brightness(x, y);
            if (std::abs(b - o) < 30 || b < 30)
                continue; // not the cube, or nothing lit behind it
            ++covered;
            blendError += std::abs(half.brightness(x, y) - (b + o) / 2.0);
        }
    ASSERT_GT(covered, 200) << "the cube covers a lit part of the scene";
    EXPECT_LT(blendError / covered, 8.0) << "a half-faded cube is half it, half what stands behind it";

    strikeKey(Key::F9); // transparency off: fading cubes are drawn opaque
    EXPECT_EQ(largestDifference(frameWithCube(0.5f, false), opaque), 0);
}

// The invisible cubes are drawn with colour textures of their own, of the cubes' image: made
// black, they darken the invisible cube.
TEST_F(FrameTest, InvisibleCubesAreDrawnWithTexturesOfTheirOwn)
{
    buildLevel(glassLevel);
    settle();
    placeFlame(glm::vec3(1.0f, 1.2f, -1.0f));
    game->update(0.0);
    const Image shown = drawnFrame();
    const DrawnModel& invisible = renderer->models()[ModelKind::InvisibleCube];
    const DrawnModel& plain = renderer->models()[ModelKind::Cube];
    ASSERT_NE(invisible.colorTexture->name, plain.colorTexture->name);
    EXPECT_EQ(glm::ivec2(invisible.colorTexture->width, invisible.colorTexture->height),
              glm::ivec2(plain.colorTexture->width, plain.colorTexture->height));

    const GLint black[] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_ONE};
    glBindTexture(GL_TEXTURE_2D, invisible.colorTexture->name);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, black);
    glBindTexture(GL_TEXTURE_2D, 0);
    const Image blackened = drawnFrame();
    int darker = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            darker += shown.brightness(x, y) > blackened.brightness(x, y) + 10;
    EXPECT_GT(darker, 200) << "the invisible cube was drawn with another texture";
}

// The shadow map holds the far side of what the flame sees, not the lit faces themselves: a
// face in the light lies in front of what the map holds for it, so it cannot shadow itself.
TEST_F(FrameTest, TheShadowMapHoldsWhatLiesBehindTheLitFaces)
{
    placeFlame();
    game->update(0.0);
    drawnFrame();
    const glm::ivec2 mapSize(textureParameter(renderer->shadowTarget().depthTexture, GL_TEXTURE_WIDTH, true),
                             textureParameter(renderer->shadowTarget().depthTexture, GL_TEXTURE_HEIGHT, true));
    const glm::vec3 light = game->flame().position, hero = game->hero().position;
    const glm::mat4 lightClip = shadowProjection(800.0f / 600.0f) * shadowView(light, hero);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer->shadowTarget().framebuffer);
    int checked = 0;
    for (float dx : {-1.0f, 0.0f, 1.0f})
        for (float dz : {1.0f, 2.0f}) { // the middle of cells between the hero and the flame
            const glm::vec3 floor(hero.x + dx, 1.0f, hero.z + dz);
            const glm::vec4 clip = lightClip * glm::vec4(floor, 1.0f);
            const glm::vec3 ndc = glm::vec3(clip) / clip.w;
            const glm::ivec2 texel((ndc.x * 0.5f + 0.5f) * mapSize.x, (ndc.y * 0.5f + 0.5f) * mapSize.y);
            if (clip.w <= 0.0f || texel.x < 0 || texel.y < 0 || texel.x >= mapSize.x || texel.y >= mapSize.y)
                continue;
            float stored = 0.0f;
            glReadPixels(texel.x, texel.y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &stored);
            EXPECT_GT(stored, ndc.z * 0.5f + 0.5f + 1e-4f) << "the floor at " << dx << ", " << dz;
            ++checked;
        }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    EXPECT_EQ(checked, 6);
}

// The flame's light is full up to the near edge of the hero's safe band and fades beyond it:
// a wider band lights the stone a little farther from the flame as brightly.
TEST_F(FrameTest, TheLightIsFullUpToTheNearEdgeOfTheSafeBand)
{
    placeFlame();
    game->update(0.0);
    const auto frameWithBand = [&](float nearEdge) {
        change([&](LevelState& scene) { scene.flame.minDistance = nearEdge; });
        return drawnFrame();
    };
    const Image narrow = frameWithBand(2.0f);
    const Image wide = frameWithBand(3.0f);
    int brighter = 0, darker = 0;
    for (int y = 0; y < narrow.height; ++y)
        for (int x = 0; x < narrow.width; ++x) {
            brighter += wide.brightness(x, y) > narrow.brightness(x, y) + 2;
            darker += wide.brightness(x, y) + 2 < narrow.brightness(x, y);
        }
    EXPECT_GT(brighter, 5000) << "the stone two to three units from the flame";
    EXPECT_EQ(darker, 0);
}

// The hero stands between the flame and the stone ahead of it: its shadow falls there, while
// the stone beside the shadow, as far from the flame, is lit.
TEST_F(FrameTest, TheHeroCastsItsShadowAwayFromTheFlame)
{
    placeFlame(glm::vec3(0.0f, 2.0f, 1.2f)); // high behind the hero: a short, dark shadow
    game->update(0.0);
    const Image frame = drawnFrame();
    const glm::mat4 clipFromWorld = renderer->projectionMatrix() * game->camera().view();
    // The mean brightness of the 11 x 11 pixels around where a point of the floor is drawn.
    const auto floorAt = [&](glm::vec3 offsetFromHero) {
        const glm::vec3 hero = game->hero().position;
        const glm::vec4 clip =
            clipFromWorld * glm::vec4(hero.x + offsetFromHero.x, 1.0f, hero.z + offsetFromHero.z, 1.0f);
        const int x = static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * frame.width);
        const int y = static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * frame.height);
        EXPECT_TRUE(x >= 5 && y >= 5 && x < frame.width - 5 && y < frame.height - 5) << "off the picture";
        return meanBrightness(frame, x - 5, y - 5, 11, 11);
    };
    const double shadow = floorAt(glm::vec3(0.0f, 0.0f, -0.7f));
    const double left = floorAt(glm::vec3(-0.8f, 0.0f, -0.7f)), right = floorAt(glm::vec3(0.8f, 0.0f, -0.7f));
    EXPECT_LT(shadow, 0.5 * std::min(left, right))
        << "in the shadow " << shadow << ", beside it " << left << ", " << right;
}

// The lit scene fades dark towards the top of the window, over the band above the border row:
// seen from above, the stone at the top of the picture is darker than just below the band.
TEST_F(FrameTest, TheSceneFadesDarkTowardsTheTopOfTheWindow)
{
    placeFlame();
    game->update(0.0);
    const glm::vec3 target = game->camera().target;
    change([&](LevelState& scene) {
        scene.camera.frozen = true;
        scene.camera.savedEye = target + glm::vec3(0.0f, 1.5f, 0.3f);
    });
    const Image frame = drawnFrame();
    const int w = frame.width, h = frame.height; // rows from the bottom up
    const double top = meanBrightness(frame, 0, h * 97 / 100, w, h * 3 / 100);
    const double belowTheBand = meanBrightness(frame, 0, h * 84 / 100, w, h * 4 / 100);
    EXPECT_GT(belowTheBand, 10.0) << "lit stone fills the picture";
    EXPECT_LT(top, 0.75 * belowTheBand) << "the top of the picture is not darkened";
}
