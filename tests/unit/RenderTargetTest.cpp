#include "GlContext.h"

#include "render/RenderTarget.h"

#include <regex>
#include <sstream>

namespace {

GLint textureLevelParameter(GLuint texture, GLenum parameter)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint textureParameter(GLuint texture, GLenum parameter)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint boundDrawFramebuffer()
{
    GLint bound = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    return bound;
}

} // namespace

using RenderTargetTest = GlTest;

TEST_F(RenderTargetTest, QuarterSizeTargetIsCompleteWithAComparisonDepthTexture)
{
    RenderTarget target;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(target.init(341, 150)); // a quarter of 1366 x 600, not a multiple of 4
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(boundDrawFramebuffer(), 0) << "a complete target hands framebuffer 0 back";

    for (GLuint texture : {target.colorTexture, target.depthTexture}) {
        EXPECT_EQ(textureLevelParameter(texture, GL_TEXTURE_WIDTH), 341);
        EXPECT_EQ(textureLevelParameter(texture, GL_TEXTURE_HEIGHT), 150);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    }
    EXPECT_EQ(textureLevelParameter(target.depthTexture, GL_TEXTURE_DEPTH_SIZE), 24);
    EXPECT_EQ(textureLevelParameter(target.colorTexture, GL_TEXTURE_ALPHA_SIZE), 8);
    EXPECT_EQ(textureParameter(target.depthTexture, GL_TEXTURE_COMPARE_MODE), GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(textureParameter(target.depthTexture, GL_TEXTURE_COMPARE_FUNC), GL_LESS);
}

TEST_F(RenderTargetTest, BindAndClearFillsTheTargetWithTheClearColour)
{
    RenderTarget target;
    ASSERT_TRUE(target.init(8, 4));
    glViewport(0, 0, 8, 4);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    target.bindAndClear();
    EXPECT_EQ(boundDrawFramebuffer(), static_cast<GLint>(target.framebuffer));

    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    unsigned char pixel[4] = {};
    glReadPixels(7, 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 51, 1);
    EXPECT_NEAR(pixel[1], 102, 1);
    EXPECT_NEAR(pixel[2], 153, 1);

    RenderTarget::clearColorTransparent();
    target.bindAndClear();
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[3], 0) << "the glow images start fully transparent";
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    glActiveTexture(GL_TEXTURE3);
    target.bindColorTexture();
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(bound, static_cast<GLint>(target.colorTexture));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(RenderTargetTest, TargetLargerThanTheDriverAllowsIsReportedAndStaysBound)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);

    RenderTarget target;
    testing::internal::CaptureStdout();
    const bool complete = target.init(maxSize + 1, 4);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(complete);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(output, match, std::regex("FB error, status: 0x([0-9a-f]+)\n"))) << output;
    EXPECT_EQ(std::stoul(match[1].str(), nullptr, 16), glCheckFramebufferStatus(GL_FRAMEBUFFER));
    EXPECT_EQ(boundDrawFramebuffer(), static_cast<GLint>(target.framebuffer));

    // The oversized texture itself was refused by the driver; that error is expected here.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(RenderTargetTest, DestroyingATargetReleasesItsGlObjects)
{
    GLuint framebuffer = 0, color = 0, depth = 0;
    {
        RenderTarget target;
        ASSERT_TRUE(target.init(16, 16));
        framebuffer = target.framebuffer;
        color = target.colorTexture;
        depth = target.depthTexture;
        EXPECT_TRUE(glIsFramebuffer(framebuffer));
        EXPECT_TRUE(glIsTexture(color));
        EXPECT_TRUE(glIsTexture(depth));
    }
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    EXPECT_FALSE(glIsTexture(color));
    EXPECT_FALSE(glIsTexture(depth));
}
