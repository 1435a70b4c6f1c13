#pragma once
#include <iostream>

// An off-screen framebuffer with an RGBA colour texture and a comparison depth texture.
// Owns its three GL names and deletes them when it goes.
class RenderTarget {
public:
    RenderTarget() = default;
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Creates both textures and the framebuffer; false (with a line on `console`) when
    // incomplete, in which case the target's framebuffer stays bound.
    bool init(int width, int height, std::ostream& console = std::cout);
    void bindAndClear() const;
    // Binds the colour texture on texture unit 0.
    void bindColorTexture() const;
    static void clearColorTransparent();

    unsigned int framebuffer = 0;
    unsigned int depthTexture = 0;
    unsigned int colorTexture = 0;

private:
    void createColorTexture(int width, int height);
    void createDepthTexture(int width, int height);
};
