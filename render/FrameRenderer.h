#pragma once
#include "render/ScreenArea.h"
#include "render/gl/RenderTarget.h"

#include <array>
#include <glm/glm.hpp>
#include <memory>
#include <optional>
#include <vector>

class Cube;
class Game;
class ShaderManager;

// Draws a Game: the six passes of a frame with all of their GL state, the render targets they
// draw into, the projection and the camera view, and what the debug keys change in GL (the
// polygon mode and the texture filters). Needs the shader programs built and a current context.
class FrameRenderer {
public:
    // width and height are the framebuffer's: the targets, viewports and projection follow it.
    FrameRenderer(int width, int height);
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // Follows a framebuffer of another size: the targets and the projection are made anew for
    // it. Nothing happens for the same size, or for one without pixels (a minimised window).
    void resize(int width, int height);
    glm::ivec2 size() const { return size_; }

    // The state that holds for every frame, set once before the first one.
    void setFixedState() const;
    // The window's clear at the start of a frame, before the game moves.
    void clearFrame() const;
    // The six passes in their order, each with its viewport, clear colour and fixed-function
    // state.
    void renderFrame(Game& game);
    // What every frame must do whatever it shows: each pass's viewport, clears and fixed-function
    // state, with no program, uniform or draw. The floor a frame's cost is measured against.
    void renderEmptyFrame() const;
    // One pass: its target, program and pass-wide uniforms, then the objects' draws.
    void render(Game& game, int pass);
    // Sets one filter mode of every level object's colour texture and keeps the other.
    void applyTextureSampling(Game& game, int value, bool mipmapMode) const;

    const glm::mat4& projectionMatrix() const { return projectionMatrix_; }
    // The part of the quarter-size glow images the last glow was confined to (none: all).
    const std::optional<PixelRect>& glowArea() const { return glowArea_; }
    const RenderTarget& shadowTarget() const { return *shadowTarget_; }
    const RenderTarget& glowTarget(int index) const { return *glowTargets_[static_cast<std::size_t>(index)]; }

private:
    void applyDebugViews(Game& game);
    void beginShadowPass(Game& game);
    void beginFlameGlowPass(Game& game);
    void beginGlowPass(Game& game);
    void beginLitPass(Game& game);
    void blurStep(Game& game, const RenderTarget& source, const RenderTarget& destination, int step);
    void findGlowArea(const Game& game, const glm::mat4& view);
    const std::vector<Cube*>& cubesToDraw(const Game& game, int pass);

    glm::ivec2 size_{0};
    float width_ = 0.0f;
    float height_ = 0.0f;
    const ShaderManager& shaders_;
    glm::mat4 projectionMatrix_;
    glm::ivec2 shadowSize_{0};
    std::unique_ptr<RenderTarget> shadowTarget_;
    std::array<std::unique_ptr<RenderTarget>, 3> glowTargets_;
    bool wireframe_ = false;
    // Where in the quarter-size glow images the flame can leave light, the blur's reach
    // included; beyond it they stay black, and the glow steps skip it. None: everywhere.
    std::optional<PixelRect> glowArea_;
    std::vector<Cube*> shownCubes_; // kept between frames: no allocation per pass
};
