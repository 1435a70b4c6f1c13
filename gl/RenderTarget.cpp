#include "gl/RenderTarget.h"

#include <GL/glew.h>
#include <iostream>

RenderTarget::~RenderTarget()
{
    if (framebuffer)
        glDeleteFramebuffers(1, &framebuffer);
    if (colorTexture)
        glDeleteTextures(1, &colorTexture);
    if (depthTexture)
        glDeleteTextures(1, &depthTexture);
}

bool RenderTarget::init(int width, int height, std::ostream& console)
{
    glGenFramebuffers(1, &framebuffer);
    createColorTexture(width, height);
    createDepthTexture(width, height);

    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    const GLenum drawBuffers[] = {GL_COLOR_ATTACHMENT0};
    glDrawBuffers(1, drawBuffers);

    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return true;
    }
    console << "FB error, status: 0x" << std::hex << status << std::dec << std::endl;
    return false;
}

namespace {

// A render target's image: sampled with linear filtering and never repeated past its edges.
unsigned int targetTexture(GLint internalFormat, GLenum format, GLenum type, int width, int height)
{
    unsigned int texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

} // namespace

void RenderTarget::createColorTexture(int width, int height)
{
    colorTexture = targetTexture(GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, width, height);
}

// Compare mode lets the lit pass read the shadow map through a shadow sampler, which
// filters the depth test itself between neighbouring texels.
void RenderTarget::createDepthTexture(int width, int height)
{
    depthTexture = targetTexture(GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_FLOAT, width, height);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LESS);
}

void RenderTarget::bindAndClear() const
{
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderTarget::bindColorTexture() const
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
}

void RenderTarget::clearColorTransparent()
{
    glClearColor(0, 0, 0, 0);
}
