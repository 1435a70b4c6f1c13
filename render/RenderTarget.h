#pragma once

// An off-screen framebuffer with an RGBA colour texture and a comparison depth texture.
class RenderTarget {
public:
    RenderTarget() = default;
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Creates both textures and the framebuffer; false (with a console line) when incomplete.
    bool init(int width, int height);
    void bindAndClear() const;
    void bindColorTexture() const;
    static void clearColorTransparent();

    unsigned int framebuffer = 0;
    unsigned int depthTexture = 0;
    unsigned int colorTexture = 0;
};
