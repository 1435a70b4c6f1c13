#pragma once
#include <string>

// One image file as a mipmapped GL texture. Owns its GL name; shared between an object
// and its copies through shared_ptr, so the name lives as long as anything draws with it.
class Texture {
public:
    // Loads, converts to 8-bit RGB and uploads; a failure (an image larger than the driver
    // takes among them) prints a line and leaves name 0.
    explicit Texture(std::string path);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    int samplingMode = 1; // 0 nearest, 1 linear
    int mipmapMode = 2;   // 0 none, 1 nearest mipmap, 2 linear between mipmaps
    int width = 0;
    int height = 0;
    unsigned int name = 0; // 0 when the image could not be loaded

private:
    void uploadTexture(const unsigned char* pixels);
};

// Sets the min and mag filters of the texture bound to GL_TEXTURE_2D on the active unit.
void applyTextureFilter(int sampling, int mipmap);
