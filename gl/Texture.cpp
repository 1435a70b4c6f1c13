#include "gl/Texture.h"

#include <GL/glew.h>

Texture::Texture(int width, int height, const unsigned char* rgb) : width(width), height(height)
{
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);

    // Decoded rows are tightly packed; with GL's default alignment of 4 an RGB row whose length
    // is not a multiple of 4 would be read skewed and past the end of the pixel data.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture::~Texture()
{
    if (name)
        glDeleteTextures(1, &name);
}

void applyTextureFilter(int sampling, int mipmap)
{
    GLint minFilter;
    GLint magFilter;
    if (sampling == 0) {
        magFilter = GL_NEAREST;
        minFilter = mipmap == 0 ? GL_NEAREST : mipmap == 1 ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_LINEAR;
    } else {
        magFilter = GL_LINEAR;
        minFilter = mipmap == 0 ? GL_LINEAR : mipmap == 1 ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

int largestTextureSide()
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return largest;
}
