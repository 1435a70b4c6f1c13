#include "render/FrameRenderer.h"

#include "game/Game.h"
#include "gl/ShaderManager.h"
#include "gl/Texture.h"
#include "render/CameraView.h"

#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <iostream>

namespace {

// Maps clip coordinates -1..1 to shadow-map texture coordinates 0..1.
// clang-format off
const glm::mat4 biasMatrix(0.5f, 0.0f, 0.0f, 0.0f,
                           0.0f, 0.5f, 0.0f, 0.0f,
                           0.0f, 0.0f, 0.5f, 0.0f,
                           0.5f, 0.5f, 0.5f, 1.0f);
// clang-format on

// The pixel row under the top tenth of the window.
int borderRow(float height)
{
    const double h = static_cast<double>(height);
    return static_cast<int>(h - 0.1 * h);
}

// At least one pixel: a window narrower than four would get an empty glow target, which
// cannot be completed, and a GL error every frame.
int quarterOf(double size)
{
    return std::max(1, static_cast<int>(size * 0.25));
}

// The most texels a shadow map holds: four times a 1920 x 1080 window in each direction.
// Beyond that a software renderer takes seconds a frame and a laptop lacks the memory (at
// 3840 x 2160 the map alone took half a gigabyte and the game over a gigabyte), while a map
// this fine still has several texels for each pixel of the window.
constexpr double largestShadowTexels = 16.0 * 1920.0 * 1080.0;

// Four times the window in each direction, but no more than the driver can give or than
// largestShadowTexels: a larger window gets a map of the same shape, which the shadow
// projection reads alike, instead of a target that cannot be completed or a frame that
// takes seconds.
glm::ivec2 shadowMapSize(int width, int height)
{
    GLint viewportLimit[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportLimit);
    const int limit = std::min({largestTextureSide(), viewportLimit[0], viewportLimit[1]});
    const double texels = 16.0 * width * height;
    const double scale =
        std::min({1.0, limit / (4.0 * width), limit / (4.0 * height), std::sqrt(largestShadowTexels / texels)});
    const auto side = [&](int size) { return std::clamp(static_cast<int>(std::lround(4.0 * size * scale)), 1, limit); };
    return glm::ivec2(side(width), side(height));
}

void setMatrix(int location, const glm::mat4& value)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

void setVector(int location, const glm::vec3& value)
{
    glUniform3fv(location, 1, glm::value_ptr(value));
}

// The farthest a glow step reads from the texel it writes: the widest blur fetch (11.4 texels)
// with the texel beside it that linear filtering mixes in, and one more for the overlay's own
// filtering.
constexpr int glowReach = 14;

// Draws only inside `area`, or everywhere when there is none.
template <class Draw>
void drawWithin(const std::optional<PixelRect>& area, Draw&& draw)
{
    if (area) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(area->x, area->y, area->width, area->height);
    }
    draw();
    glDisable(GL_SCISSOR_TEST);
}

// Cubes that broke away are gone; with culling on, only those in the band around the
// flame that the light reaches are drawn.
bool cubeShown(const Cube& cube, float flameZ, bool culling)
{
    if (cube.broken)
        return false;
    return !culling || (flameZ - 8.0f < cube.position.z && cube.position.z < flameZ + 2.0f);
}

// Prints `where` when a GL error is pending (and clears it), to narrow down a faulty draw.
void reportGlError(std::ostream& console, const char* where)
{
    if (glGetError() != GL_NO_ERROR)
        console << where << std::endl;
}

// Sets one of a texture's two filter modes and keeps the other as it was.
void applyToTexture(Texture& texture, int value, bool mipmapMode)
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    if (mipmapMode) {
        glGetError(); // a stale error from earlier in the frame is not this change's fault
        applyTextureFilter(texture.samplingMode, value);
        texture.mipmapMode = value;
    } else {
        applyTextureFilter(value, texture.mipmapMode);
        texture.samplingMode = value;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

FrameRenderer::FrameRenderer(int width, int height, std::ostream& console)
    : console_(console), shaders_(*ShaderManager::instance(console)), uniforms_(findUniforms(shaders_)),
      models_(shaders_)
{
    resize(std::max(width, 1), std::max(height, 1));
}

void FrameRenderer::resize(int width, int height)
{
    if (width <= 0 || height <= 0 || (width == size_.x && height == size_.y))
        return;
    size_ = glm::ivec2(width, height);
    width_ = static_cast<float>(width);
    height_ = static_cast<float>(height);
    shadowSize_ = shadowMapSize(width, height);
    shadowTarget_ = std::make_unique<RenderTarget>();
    shadowTarget_->init(shadowSize_.x, shadowSize_.y, console_);
    for (auto& target : glowTargets_) {
        target = std::make_unique<RenderTarget>();
        target->init(quarterOf(width), quarterOf(height), console_);
    }
    projectionMatrix_ = glm::perspective(glm::radians(60.0f), width_ / height_, 0.01f, 30.0f);
}

void FrameRenderer::setFixedState() const
{
    glCullFace(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glViewport(0, 0, size_.x, size_.y);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void FrameRenderer::clearFrame() const
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The debug keys' changes reach GL before the frame that follows them is drawn.
void FrameRenderer::applyDebugViews(bool wireframe, const std::vector<TextureSamplingChange>& changes)
{
    if (wireframe != wireframe_) {
        wireframe_ = wireframe;
        glPolygonMode(GL_FRONT_AND_BACK, wireframe_ ? GL_LINE : GL_FILL);
    }
    for (const TextureSamplingChange& change : changes)
        applyTextureSampling(change);
}

// The colour textures of the objects of the level the key was struck on, in the order the
// objects are visited: a kind that level had none of keeps its filters. The HUD's bars have no
// colour image that is drawn.
void FrameRenderer::applyTextureSampling(const TextureSamplingChange& change)
{
    const std::pair<ModelKind, bool> kinds[] = {{ModelKind::Hero, true},
                                                {ModelKind::Cube, change.reachesCubes},
                                                {ModelKind::InvisibleCube, change.reachesInvisibleCubes},
                                                {ModelKind::Flame, true},
                                                {ModelKind::Propeller, true},
                                                {ModelKind::GlowQuad, true}};
    for (const auto& [kind, reached] : kinds)
        if (reached)
            applyToTexture(*models_[kind].colorTexture, change.value, change.mipmapMode);
}

// The order the passes draw a frame in: the shadow map before the scene that reads it, the
// scene before the glow laid over it, the HUD over everything.
constexpr RenderPass frameOrder[] = {RenderPass::Shadow,    RenderPass::Main, RenderPass::Transparent,
                                     RenderPass::FlameGlow, RenderPass::Glow, RenderPass::Hud};

// The camera and the light as the game left them after its update: every pass sees the same.
FrameRenderer::FrameView FrameRenderer::viewOf(const Game& game, float aspect)
{
    FrameView view;
    const Camera& camera = game.camera();
    view.cameraView = camera.view();
    view.eye = camera.frozen ? camera.savedEye : camera.eye;
    const Flame& flame = game.flame();
    view.light = flame.light();
    view.lightColor = flame.lightColor;
    view.minDistance = flame.minDistance;
    view.maxDistance = Flame::lightReach;
    view.shadowProjection = shadowProjection(aspect);
    view.shadowView = shadowView(view.light, game.hero().position);
    view.shadowTexture = biasMatrix * view.shadowProjection * view.shadowView;
    return view;
}

int FrameRenderer::renderFrame(const Game& game)
{
    frame_ = viewOf(game, width_ / height_);
    const int cubes = static_cast<int>(cubesShown(game).size());
    for (RenderPass pass : frameOrder) {
        enterPass(pass, true);
        drawPass(game, pass);
        endPass();
    }
    // The hero, the cubes, the flame, the propeller and the glow's quad, as the report counts.
    return cubes + 4;
}

void FrameRenderer::renderEmptyFrame() const
{
    for (RenderPass pass : frameOrder) {
        enterPass(pass, false);
        if (pass == RenderPass::Glow)
            for (int step = 1; step <= 3; ++step)
                enterBlurStep(step);
        endPass();
    }
}

void FrameRenderer::drawPass(const Game& game, RenderPass pass)
{
    switch (pass) {
    case RenderPass::Shadow: drawShadowPass(game); break;
    case RenderPass::Main: drawMainPass(game); break;
    case RenderPass::Transparent: drawTransparentPass(game); break;
    case RenderPass::FlameGlow: drawFlameGlowPass(game); break;
    case RenderPass::Glow: drawGlowPass(); break;
    case RenderPass::Hud: drawHudPass(game); break;
    }
}

void FrameRenderer::enterPass(RenderPass pass, bool drawn) const
{
    switch (pass) {
    case RenderPass::Shadow:
        // The shadow map is four times the window in each direction (as far as the driver
        // allows); front faces are culled so that a surface does not shadow itself. Only its
        // depth is read later.
        glViewport(0, 0, shadowSize_.x, shadowSize_.y);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(0, 0);
        glCullFace(GL_FRONT);
        glClearColor(1, 1, 1, 1);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, shadowTarget_->framebuffer);
        // Nothing reads the map's colour image, so a drawn frame never writes it, not even by
        // the clear: its pages are then never touched. The floor clears it as it always did.
        if (drawn)
            glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        break;
    case RenderPass::Main:
        glViewport(0, 0, size_.x, size_.y);
        glClearColor(0, 0, 0, 1);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glCullFace(GL_BACK);
        break;
    case RenderPass::Transparent: break;
    case RenderPass::FlameGlow:
        // The glow is drawn and blurred at a quarter of the window in each direction.
        glViewport(0, 0, quarterOf(size_.x), quarterOf(size_.y));
        RenderTarget::clearColorTransparent();
        glowTargets_[0]->bindAndClear();
        break;
    case RenderPass::Glow:
        // Back faces stay culled here and in the HUD: the art generator winds the screen quads
        // to face the viewer.
        RenderTarget::clearColorTransparent();
        break;
    case RenderPass::Hud: glViewport(0, 0, size_.x, size_.y); break;
    }
}

// The glow's three steps: across and down at quarter size, then over the frame.
void FrameRenderer::enterBlurStep(int step) const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (step < 3) {
        glowTargets_[static_cast<std::size_t>(step)]->bindAndClear();
        return;
    }
    glViewport(0, 0, size_.x, size_.y);
}

void FrameRenderer::endPass() const
{
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}

// Every pass sets its program and the uniforms of the whole pass, the flame's light among
// them, before its first draw: each object is lit by this frame's light.
void FrameRenderer::drawShadowPass(const Game& game)
{
    const DepthUniforms& depth = uniforms_.depth;
    shaders_.useProgram(ProgramKind::Depth);
    setMatrix(depth.projectionMatrix, frame_.shadowProjection);
    setMatrix(depth.viewMatrix, frame_.shadowProjection * frame_.shadowView);
    setVector(depth.camPosition, frame_.light);
    setVector(depth.light, frame_.light);

    reportGlError(console_, "before sending modelMatrix - DepthShader");
    setMatrix(depth.modelMatrix, game.hero().modelMatrix);
    reportGlError(console_, "before drawing In SceneObject - DepthShader");
    if (models_[ModelKind::Hero].mesh)
        models_[ModelKind::Hero].mesh->draw();
    reportGlError(console_, "after drawing In SceneObject - DEPTH");
    for (const Cube* cube : shownCubes_)
        drawModel(models_[ModelKind::Cube], cube->modelMatrix, depth.modelMatrix);
    drawModel(models_[ModelKind::Propeller], game.propeller().modelMatrix, depth.modelMatrix);
}

// Main and transparent passes: the lit program with the chase camera, the shadow map and the
// flame's light.
void FrameRenderer::setUpLitProgram() const
{
    const LitUniforms& lit = uniforms_.lit;
    shaders_.useProgram(ProgramKind::Basic);
    setMatrix(lit.biasMat, biasMatrix);
    setMatrix(lit.depthProjMat, frame_.shadowProjection);
    setMatrix(lit.depthViewMat, frame_.shadowView);
    setMatrix(lit.depthMVP, frame_.shadowTexture);

    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, shadowTarget_->depthTexture);
    glUniform1i(lit.shadowTexture, 2);

    setMatrix(lit.projectionMatrix, projectionMatrix_);
    setMatrix(lit.viewMatrix, frame_.cameraView);
    setVector(lit.camPosition, frame_.eye);
    glUniform1i(lit.border, borderRow(height_));

    glUniform1f(lit.maxDistance, frame_.maxDistance);
    glUniform1f(lit.minDistance, frame_.minDistance);
    setVector(lit.light, frame_.light);
    setVector(lit.lightColor, frame_.lightColor);
}

void FrameRenderer::drawMainPass(const Game& game)
{
    setUpLitProgram();
    setMatrix(uniforms_.lit.modelMatrix, game.hero().modelMatrix);
    reportGlError(console_, "before drawing In SceneObject - BASIC");
    if (const DrawnModel& hero = models_[ModelKind::Hero]; hero.mesh) {
        bindSurface(hero, true);
        hero.mesh->draw();
    }
    reportGlError(console_, "after drawing In SceneObject - BASIC");
    sortNearestFirst();
    for (const Cube* cube : shownCubes_)
        drawLit(models_[ModelKind::Cube], cube->modelMatrix);
    drawLit(models_[ModelKind::Propeller], game.propeller().modelMatrix);
}

// The invisible cubes, in the file's order (blending depends on it), each as opaque as it has
// faded, or fully opaque with their transparency switched off.
void FrameRenderer::drawTransparentPass(const Game& game)
{
    setUpLitProgram();
    const bool useTransparency = game.switches().invisTransparency;
    const bool culling = game.switches().viewFrustumCulling;
    const DrawnModel& model = models_[ModelKind::InvisibleCube];
    for (const CubeInvis& cube : game.invisCubes()) {
        if (!cubeShown(cube, game.flame().position.z, culling))
            continue;
        reportGlError(console_, "before Uniform transparency");
        reportGlError(console_, "before");
        glUniform1f(uniforms_.lit.transparency, useTransparency ? cube.transparency : 1.0f);
        reportGlError(console_, "after");
        reportGlError(console_, "after Uniform transparency");
        setMatrix(uniforms_.lit.modelMatrix, cube.modelMatrix);
        if (!model.mesh)
            continue;
        bindSurface(model, false);
        model.mesh->draw();
    }
}

// The flame alone, at quarter size, in its light's colour: the source of the glow.
void FrameRenderer::drawFlameGlowPass(const Game& game)
{
    const FlameUniforms& flame = uniforms_.flame;
    shaders_.useProgram(ProgramKind::Flame);
    setMatrix(flame.projectionMatrix, projectionMatrix_);
    setMatrix(flame.viewMatrix, frame_.cameraView);
    setVector(flame.lightColor, frame_.lightColor);
    findGlowArea(game);
    drawModel(models_[ModelKind::Flame], game.flame().modelMatrix, flame.modelMatrix);
}

// The flame is small on the screen, and a blur of black is black.
void FrameRenderer::findGlowArea(const Game& game)
{
    const int width = quarterOf(size_.x), height = quarterOf(size_.y);
    const DrawnModel& flame = models_[ModelKind::Flame];
    if (!flame.mesh) {
        glowArea_ = PixelRect{};
        return;
    }
    glowArea_ = projectedArea(flame.low, flame.high, projectionMatrix_ * frame_.cameraView * game.flame().modelMatrix,
                              width, height);
    if (glowArea_)
        glowArea_ = widened(*glowArea_, glowReach, width, height);
}

// Blurs the flame image across and then down at quarter size, and lays the result over the
// frame, each step only within the area the glow can reach.
void FrameRenderer::drawGlowPass()
{
    const GlowUniforms& glow = uniforms_.glow;
    shaders_.useProgram(ProgramKind::Glow);
    glUniform1f(glow.windowHeight, 0.25f * height_);
    glUniform1f(glow.windowWidth, 0.25f * width_);
    glUniform1i(glow.glowTexture, 0);
    glUniform1i(glow.border, borderRow(height_));
    const DrawnModel& quad = models_[ModelKind::GlowQuad];
    const glm::mat4 screen(1.0f);
    for (int step = 1; step <= 3; ++step) {
        enterBlurStep(step);
        glowTargets_[static_cast<std::size_t>(step - 1)]->bindColorTexture();
        glUniform1i(glow.pass, step);
        std::optional<PixelRect> area = glowArea_;
        if (step == 3 && area)
            area = scaledUp(*area, 4, size_.x, size_.y);
        drawWithin(area, [&] { drawModel(quad, screen, glow.modelMatrix); });
    }
}

// The meters, then one small bar per remaining life.
void FrameRenderer::drawHudPass(const Game& game)
{
    const HudUniforms& hud = uniforms_.hud;
    shaders_.useProgram(ProgramKind::Hud);
    const auto drawBar = [&](const Bar& bar) {
        setVector(hud.colorFinal, bar.color);
        setVector(hud.colorNeutral, bar.neutralColor);
        drawModel(models_[ModelKind::Bar], bar.modelMatrix, hud.modelMatrix);
    };
    drawBar(game.farBar());
    drawBar(game.nearBar());
    const int lives = std::max(0, game.hero().lives);
    const std::vector<Bar>& lifeBars = game.lifeBars();
    for (std::size_t i = 0; i < lifeBars.size() && i < static_cast<std::size_t>(lives); ++i)
        drawBar(lifeBars[i]);
}

// A model placed by its object's matrix, drawn with the program the pass has made current.
void FrameRenderer::drawModel(const DrawnModel& model, const glm::mat4& modelMatrix, int modelMatrixLocation) const
{
    setMatrix(modelMatrixLocation, modelMatrix);
    if (model.mesh)
        model.mesh->draw();
}

// The colour and normal images on units 0 and 1 and the material, for the lit program. The
// main pass draws opaque; the transparent pass keeps the opacity set for the object.
void FrameRenderer::bindSurface(const DrawnModel& model, bool opaque) const
{
    const LitUniforms& lit = uniforms_.lit;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, model.colorTexture->name);
    glUniform1i(lit.colorTexture, 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, model.normalTexture->name);
    glUniform1i(lit.normalTexture, 1);
    if (model.material) {
        glUniform1f(lit.materialAmbient, model.material->ambient);
        glUniform1f(lit.materialDiffuse, model.material->diffuse);
        glUniform1f(lit.materialSpecular, model.material->specular);
    }
    if (opaque)
        glUniform1f(lit.transparency, 1.0f);
}

// In the lit main pass.
void FrameRenderer::drawLit(const DrawnModel& model, const glm::mat4& modelMatrix) const
{
    setMatrix(uniforms_.lit.modelMatrix, modelMatrix);
    if (!model.mesh)
        return;
    bindSurface(model, true);
    model.mesh->draw();
}

const std::vector<const Cube*>& FrameRenderer::cubesShown(const Game& game)
{
    shownCubes_.clear();
    const bool culling = game.switches().viewFrustumCulling;
    const float flameZ = game.flame().position.z;
    for (const Cube& cube : game.cubes())
        if (cubeShown(cube, flameZ, culling))
            shownCubes_.push_back(&cube);
    return shownCubes_;
}

// In the main pass the nearest to the eye come first: a fragment behind one already drawn
// then fails the depth test before it is shaded, which in file order (across the level, away
// from a camera on its right) many hidden side faces did not. The shadow pass, which shades
// nothing, keeps the file's order.
void FrameRenderer::sortNearestFirst()
{
    const glm::vec3 viewpoint = frame_.eye;
    const auto distance = [&](const Cube* cube) {
        const glm::vec3 top = cube->position + glm::vec3(0.5f, 0.0f, -0.5f);
        return glm::dot(top - viewpoint, top - viewpoint);
    };
    std::stable_sort(shownCubes_.begin(), shownCubes_.end(),
                     [&](const Cube* a, const Cube* b) { return distance(a) < distance(b); });
}
