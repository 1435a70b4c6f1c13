#pragma once

// One image as a mipmapped GL texture. Owns its GL name. Remembers the filter modes last applied,
// which the debug keys change one at a time.
class Texture {
public:
    // No image: name 0, which samples as black.
    Texture() = default;
    // Uploads tightly packed 8-bit RGB rows, top row first, and makes the mipmaps.
    Texture(int width, int height, const unsigned char* rgb);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    int samplingMode = 1; // 0 nearest, 1 linear
    int mipmapMode = 2;   // 0 none, 1 nearest mipmap, 2 linear between mipmaps
    int width = 0;
    int height = 0;
    unsigned int name = 0; // 0 when there is no image
};

// Sets the min and mag filters of the texture bound to GL_TEXTURE_2D on the active unit.
void applyTextureFilter(int sampling, int mipmap);

// The largest side of a texture the driver takes.
int largestTextureSide();
