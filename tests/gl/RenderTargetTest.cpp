#include "GlSupport.h"

#include "gl/RenderTarget.h"

#include <cmath>
#include <sstream>

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

// Maximised, full screen or on a HiDPI screen, the framebuffer is not the configured size: the
// shadow map follows it at four times, the glow targets at a quarter (never less than a pixel)
// and the projection takes its aspect. A window larger than 1920 x 1080 gets a map of its own
// shape with no more texels than that one's, not one whose frames take seconds (at 3840 x 2160
// four times would be half a gigabyte of depth alone). The same size again, or none at all (a
// minimised window), rebuilds nothing.
TEST_F(FrameRendererSetupTest, TargetsAndProjectionFollowTheFramebufferSize)
{
    const struct {
        int width, height, glowWidth, glowHeight, shadowWidth, shadowHeight;
    } sizes[] = {{1366, 768, 341, 192, 5464, 3072},  {3, 2, 1, 1, 12, 8},
                 {1920, 1080, 480, 270, 7680, 4320}, {3840, 2160, 960, 540, 7680, 4320},
                 {2160, 3840, 540, 960, 4320, 7680}, {640, 360, 160, 90, 2560, 1440}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.width);
        EXPECT_EQ(printedBy([&] { renderer->resize(size.width, size.height); }), "") << "no FB error";
        EXPECT_EQ(glInteger(GL_DRAW_FRAMEBUFFER_BINDING), 0) << "complete targets hand framebuffer 0 back";
        expectCompleteTarget(renderer->shadowTarget(), size.shadowWidth, size.shadowHeight);
        for (int i = 0; i < 3; ++i)
            expectCompleteTarget(renderer->glowTarget(i), size.glowWidth, size.glowHeight);
        const glm::mat4& projection = renderer->projectionMatrix();
        EXPECT_NEAR(projection[1][1], 1.0f / std::tan(glm::radians(30.0f)), 1e-6f) << "60 degrees from top to bottom";
        EXPECT_NEAR(projection[1][1] / projection[0][0], float(size.width) / size.height, 1e-5f);
    }
    const GLuint shadow = renderer->shadowTarget().framebuffer, glow = renderer->glowTarget(2).colorTexture;
    renderer->resize(640, 360);
    renderer->resize(0, 0);
    EXPECT_EQ(renderer->size(), glm::ivec2(640, 360));
    EXPECT_EQ(renderer->shadowTarget().framebuffer, shadow);
    EXPECT_EQ(renderer->glowTarget(2).colorTexture, glow);

    const GLuint depth = renderer->shadowTarget().depthTexture;
    renderer.reset();
    EXPECT_FALSE(glIsFramebuffer(shadow) || glIsTexture(depth)) << "a target releases its GL objects";
}

TEST_F(FrameRendererSetupTest, AShadowMapLargerThanTheDriverAllowsShrinksToTheSameShape)
{
    // A window wider than a quarter of the largest texture: four times it would not fit.
    const int largest = glInteger(GL_MAX_TEXTURE_SIZE);
    const int width = largest / 2, height = 300;
    EXPECT_EQ(printedBy([&] { renderer->resize(width, height); }), "") << "no FB error";
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
}

// Nothing reads the shadow map's colour image: a drawn frame leaves it as it was, its clear
// included, while the floor's empty frame still clears it as the frame loop always did.
TEST_F(FrameRendererSetupTest, ADrawnFrameNeverWritesTheShadowMapsColour)
{
    renderer->resize(64, 48);
    const RenderTarget& shadow = renderer->shadowTarget();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, shadow.framebuffer);
    glClearColor(0.2f, 0.4f, 0.6f, 0.8f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const Image marked = readImage(shadow.framebuffer, 256, 192);
    ASSERT_EQ(marked.rgba[0], 51);

    renderer->setFixedState();
    printedBy([&] {
        game->update(gameStep);
        renderer->renderFrame(*game);
    });
    EXPECT_EQ(readImage(shadow.framebuffer, 256, 192).rgba, marked.rgba);
    renderer->renderEmptyFrame();
    const Image floor = readImage(shadow.framebuffer, 256, 192);
    EXPECT_EQ(floor.rgba, std::vector<unsigned char>(floor.rgba.size(), 255)) << "the floor clears it white";
}

TEST_F(RenderTargetTest, TargetLargerThanTheDriverAllowsIsReportedAndStaysBound)
{
    RenderTarget target;
    const std::string printed = printedBy([&] { EXPECT_FALSE(target.init(glInteger(GL_MAX_TEXTURE_SIZE) + 1, 4)); });
    std::ostringstream line;
    line << "FB error, status: 0x" << std::hex << glCheckFramebufferStatus(GL_FRAMEBUFFER) << "\n";
    EXPECT_EQ(printed, line.str());
    EXPECT_EQ(glInteger(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(target.framebuffer));

    // The driver refused the oversized texture itself; that error is expected here.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_FALSE(takeGlDebugErrors().empty());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
