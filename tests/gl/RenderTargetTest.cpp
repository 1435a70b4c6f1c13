#include "GlSupport.h"

#include "gl/RenderTarget.h"
#include "scene/Flame.h"

#include <cmath>
#include <cstring>
#include <regex>

namespace {

void expectCompleteTarget(const RenderTarget& target, int width, int height)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    for (GLuint texture : {target.colorTexture, target.depthTexture}) {
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WIDTH, true), width);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_HEIGHT, true), height);
    }
}

} // namespace

using RenderTargetTest = GlTest;
using FrameRendererSetupTest = GlGameTest;

TEST_F(FrameRendererSetupTest, TargetsAreFourTimesAndAQuarterOfTheWindowAndTheProjectionIsItsAspect)
{
    const struct {
        int width, height, glowWidth, glowHeight;
        float projectionX; // [0][0]: 1 / (aspect * tan 30 degrees)
    } windows[] = {{800, 600, 200, 150, 1.2990381f},
                   {1366, 768, 341, 192, 0.9738031f},
                   {3, 2, 1, 1, 1.1547005f}}; // glow targets never smaller than a pixel
    for (const auto& window : windows) {
        SCOPED_TRACE(window.width);
        renderer.reset();
        EXPECT_EQ(printedBy([&] { renderer = std::make_unique<FrameRenderer>(window.width, window.height); }), "")
            << "no FB error";
        EXPECT_EQ(glInteger(GL_DRAW_FRAMEBUFFER_BINDING), 0) << "complete targets hand framebuffer 0 back";
        expectCompleteTarget(renderer->shadowTarget(), 4 * window.width, 4 * window.height);
        for (int i = 0; i < 3; ++i)
            expectCompleteTarget(renderer->glowTarget(i), window.glowWidth, window.glowHeight);

        const glm::mat4& projection = renderer->projectionMatrix();
        EXPECT_NEAR(projection[0][0], window.projectionX, 1e-6f);
        EXPECT_NEAR(projection[1][1], 1.7320509f, 1e-6f);
        EXPECT_FLOAT_EQ(projection[2][2], -1.000666856765747f);
        EXPECT_FLOAT_EQ(projection[3][2], -0.02000666782259941f);
        EXPECT_EQ(projection[2][3], -1.0f);
    }

    // The depth texture is a shadow map read through a comparing sampler.
    const RenderTarget& shadow = renderer->shadowTarget();
    for (GLuint texture : {shadow.colorTexture, shadow.depthTexture}) {
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    }
    EXPECT_EQ(textureParameter(shadow.depthTexture, GL_TEXTURE_DEPTH_SIZE, true), 24);
    EXPECT_EQ(textureParameter(shadow.colorTexture, GL_TEXTURE_ALPHA_SIZE, true), 8);
    EXPECT_EQ(textureParameter(shadow.depthTexture, GL_TEXTURE_COMPARE_MODE), GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(textureParameter(shadow.depthTexture, GL_TEXTURE_COMPARE_FUNC), GL_LESS);

    const GLuint framebuffer = shadow.framebuffer, depth = shadow.depthTexture;
    renderer.reset();
    EXPECT_FALSE(glIsFramebuffer(framebuffer) || glIsTexture(depth)) << "a target releases its GL objects";
}

// What a frame of the game looks like through a renderer: the window's pixels after the frame
// loop's clear and passes.
Image frameThrough(FrameRenderer& renderer, const Game& game)
{
    renderer.setFixedState();
    renderer.clearFrame();
    renderer.renderFrame(game);
    const glm::ivec2 size = renderer.size();
    return readImage(0, size.x, size.y);
}

TEST_F(FrameRendererSetupTest, TargetsAndPictureFollowTheFramebufferWhenItChangesSize)
{
    // Maximised, full screen or on a HiDPI screen, the framebuffer is not the configured size.
    // The fixture's renderer was made for 800 x 600; the framebuffer now has 640 x 360.
    renderer->resize(640, 360);
    EXPECT_EQ(renderer->size(), glm::ivec2(640, 360));
    expectCompleteTarget(renderer->shadowTarget(), 4 * 640, 4 * 360);
    for (int i = 0; i < 3; ++i)
        expectCompleteTarget(renderer->glowTarget(i), 160, 90);
    EXPECT_NEAR(renderer->projectionMatrix()[0][0], 0.9742786f, 1e-6f) << "the projection has the 16:9 aspect";

    // The same size again, or none at all (a minimised window), rebuilds nothing.
    const GLuint shadow = renderer->shadowTarget().framebuffer, glow = renderer->glowTarget(2).colorTexture;
    renderer->resize(640, 360);
    renderer->resize(0, 0);
    EXPECT_EQ(renderer->size(), glm::ivec2(640, 360));
    EXPECT_EQ(renderer->shadowTarget().framebuffer, shadow);
    EXPECT_EQ(renderer->glowTarget(2).colorTexture, glow);

    // The picture is the one a renderer made for this size draws: shadows, scene and the glow
    // of a flame in the safe band behind the hero.
    settle();
    change([](PlaySnapshot& scene) { scene.flame.position = scene.hero.position + glm::vec3(0.0f, 1.0f, 3.0f); });
    game->update(0.0);
    const Image resized = frameThrough(*renderer, *game);
    std::unique_ptr<FrameRenderer> madeForIt;
    printedBy([&] { madeForIt = std::make_unique<FrameRenderer>(640, 360); });
    const Image reference = frameThrough(*madeForIt, *game);
    int differing = 0, glowing = 0;
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 640; ++x) {
            differing += std::memcmp(resized.at(x, y), reference.at(x, y), 3) != 0;
            const unsigned char* pixel = resized.at(x, y);
            glowing += pixel[0] > 200 && pixel[1] > 100 && pixel[2] < 150;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(glowing, 100) << "the flame's glow is in the picture";
}

TEST_F(FrameRendererSetupTest, AShadowMapLargerThanTheDriverAllowsShrinksToTheSameShape)
{
    // A window wider than a quarter of the largest texture: four times it would not fit.
    const int largest = glInteger(GL_MAX_TEXTURE_SIZE);
    const int width = largest / 2, height = 300;
    renderer.reset();
    EXPECT_EQ(printedBy([&] { renderer = std::make_unique<FrameRenderer>(width, height); }), "") << "no FB error";
    const int shadowHeight = static_cast<int>(std::lround(4.0 * height * largest / (4.0 * width)));
    expectCompleteTarget(renderer->shadowTarget(), largest, shadowHeight);

    // The shadow pass fills the whole map: seen from the flame, the hero is in its middle.
    renderer->setFixedState();
    printedBy([&] {
        game->update(gameStep);
        renderer->renderFrame(*game);
    });
    float depth = 1.0f;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer->shadowTarget().framebuffer);
    glReadPixels(largest / 2, shadowHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    EXPECT_LT(depth, 1.0f);
    glViewport(0, 0, 800, 600);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

TEST_F(RenderTargetTest, TargetLargerThanTheDriverAllowsIsReportedAndStaysBound)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    RenderTarget target;
    bool complete = true;
    const std::string printed = printedBy([&] { complete = target.init(maxSize + 1, 4); });
    EXPECT_FALSE(complete);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(printed, match, std::regex("FB error, status: 0x([0-9a-f]+)\n"))) << printed;
    EXPECT_EQ(std::stoul(match[1].str(), nullptr, 16), glCheckFramebufferStatus(GL_FRAMEBUFFER));
    EXPECT_EQ(glInteger(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(target.framebuffer));

    // The driver refused the oversized texture itself; that error is expected here.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_FALSE(takeGlDebugErrors().empty());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
