#include "assets/Texture.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <iostream>

namespace {

// DevIL keeps a stack of error codes; one left over from an earlier image would make a good
// image look failed, so the stack is emptied around every load.
void clearImageErrors()
{
    while (ilGetError() != IL_NO_ERROR) {
    }
}

} // namespace

Texture::Texture(std::string path)
{
    ilInit();
    clearImageErrors();

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilLoadImage(path.c_str());
    const ILenum loadError = ilGetError();
    clearImageErrors();

    if (loadError != IL_NO_ERROR) {
        std::cout << "couldnt load texture: " << path << "\n" << static_cast<unsigned int>(loadError) << std::endl;
    } else if (!ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE)) {
        clearImageErrors();
        std::cout << "couldnt convert texture: " << path << std::endl;
    } else {
        width = ilGetInteger(IL_IMAGE_WIDTH);
        height = ilGetInteger(IL_IMAGE_HEIGHT);
        uploadTexture(ilGetData());
    }

    ilBindImage(0);
    ilDeleteImages(1, &image);
}

Texture::~Texture()
{
    if (name)
        glDeleteTextures(1, &name);
}

void Texture::uploadTexture(const unsigned char* pixels)
{
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name);

    // DevIL rows are tightly packed; with GL's default alignment of 4 an RGB row whose length
    // is not a multiple of 4 would be read skewed and past the end of the pixel data.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
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
