#pragma once
#include "gl/RenderTarget.h"
#include "render/ModelLibrary.h"
#include "render/ProgramUniforms.h"
#include "render/RenderPass.h"
#include "render/ScreenArea.h"

#include <array>
#include <glm/glm.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

class Cube;
class Game;
class ShaderManager;
struct TextureSamplingChange;

// Draws a Game, reading it only: the six passes of a frame with all of their GL state, the
// models and render targets they draw with, and what the debug keys change in GL (the polygon
// mode and the texture filters). Needs the shader programs built and a current context.
class FrameRenderer {
public:
    // What the passes of one frame read, worked out once before the first of them.
    struct FrameView {
        glm::mat4 cameraView{1.0f};
        glm::vec3 eye{0.0f}; // where the camera sees from: while frozen, the eye it keeps
        glm::vec3 light{0.0f};
        glm::vec3 lightColor{1.0f};
        float minDistance = 0.0f;
        float maxDistance = 0.0f;
        // The flame's view for the shadow map: its projection, its view and their product
        // with the step from clip to texture coordinates.
        glm::mat4 shadowProjection{1.0f};
        glm::mat4 shadowView{1.0f};
        glm::mat4 shadowTexture{1.0f};
    };

    // width and height are the framebuffer's: the targets, viewports and projection follow it.
    // A target the driver refuses, or a GL error in a draw, is reported on `console`.
    FrameRenderer(int width, int height, std::ostream& console = std::cout);
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
    // What the debug keys asked for since the last frame: lines instead of filled polygons, and
    // texture filter changes, applied in turn to the colour images of the kinds each reaches.
    void applyDebugViews(bool wireframe, const std::vector<TextureSamplingChange>& changes);
    // The six passes in their order. Returns the level objects the frame counts as drawn (the
    // hero, the flame, the propeller, the glow's quad and the cubes around the flame).
    int renderFrame(const Game& game);
    // What every frame must do whatever it shows: each pass's viewport, targets, clears and
    // fixed-function state, with no program, uniform or draw. The floor a frame's cost is
    // measured against.
    void renderEmptyFrame() const;

    const glm::mat4& projectionMatrix() const { return projectionMatrix_; }
    // The view the last frame was drawn with, and the view of a game's frame at an aspect.
    const FrameView& frameView() const { return frame_; }
    static FrameView viewOf(const Game& game, float aspect);
    // The part of the quarter-size glow images the last glow was confined to (none: all).
    const std::optional<PixelRect>& glowArea() const { return glowArea_; }
    const RenderTarget& shadowTarget() const { return *shadowTarget_; }
    const RenderTarget& glowTarget(int index) const { return *glowTargets_[static_cast<std::size_t>(index)]; }
    const ModelLibrary& models() const { return models_; }

private:
    // A pass's viewport, fixed-function state, target and clear: the same in every frame,
    // drawn or empty (but for the writes a drawn frame masks). endPass leaves the state the
    // next pass starts from.
    void enterPass(RenderPass pass, bool drawn) const;
    void enterBlurStep(int step) const;
    void endPass() const;

    // A pass's program, its uniforms and its draws.
    void drawPass(const Game& game, RenderPass pass);
    void drawShadowPass(const Game& game);
    void drawMainPass(const Game& game);
    void drawTransparentPass(const Game& game);
    void drawFlameGlowPass(const Game& game);
    void drawGlowPass();
    void drawHudPass(const Game& game);
    void setUpLitProgram() const;
    void drawModel(const DrawnModel& model, const glm::mat4& modelMatrix, int modelMatrixLocation) const;
    void bindSurface(const DrawnModel& model, bool opaque) const;
    void drawLit(const DrawnModel& model, const glm::mat4& modelMatrix) const;

    void findGlowArea(const Game& game);
    // The cubes of the frame (into shownCubes_): none that broke away, and with culling on only
    // those around the flame.
    const std::vector<const Cube*>& cubesShown(const Game& game);
    void sortNearestFirst();
    void applyTextureSampling(const TextureSamplingChange& change);

    std::ostream& console_;
    const ShaderManager& shaders_;
    const ProgramUniforms uniforms_;
    FrameView frame_;
    ModelLibrary models_;
    glm::ivec2 size_{0};
    float width_ = 0.0f;
    float height_ = 0.0f;
    glm::mat4 projectionMatrix_{1.0f};
    glm::ivec2 shadowSize_{0};
    std::unique_ptr<RenderTarget> shadowTarget_;
    std::array<std::unique_ptr<RenderTarget>, 3> glowTargets_;
    bool wireframe_ = false;
    // Where in the quarter-size glow images the flame can leave light, the blur's reach
    // included; beyond it they stay black, and the glow steps skip it. None: everywhere.
    std::optional<PixelRect> glowArea_;
    std::vector<const Cube*> shownCubes_; // kept between frames: no allocation per pass
};
