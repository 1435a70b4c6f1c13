#include "render/FrameRenderer.h"

#include "assets/Texture.h"
#include "game/Game.h"
#include "render/CameraView.h"
#include "render/gl/RenderPass.h"
#include "render/gl/ShaderManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/PlaneAndPropeller.h"

#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

// Maps clip coordinates -1..1 to shadow-map texture coordinates 0..1.
const glm::mat4 biasMatrix(0.5f, 0.0f, 0.0f, 0.0f,
                           0.0f, 0.5f, 0.0f, 0.0f,
                           0.0f, 0.0f, 0.5f, 0.0f,
                           0.5f, 0.5f, 0.5f, 1.0f);

// While paused the light is steered by hand and leaves the flame behind.
glm::vec3 lightPoint(const Game& game)
{
    return game.paused ? game.flame->lightPosition : game.flame->position;
}

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

// Four times the window in each direction, but no more than the driver can give: a window
// wider or taller than a quarter of that gets a map of the same shape, which the shadow
// projection reads alike, instead of a target that cannot be completed.
glm::ivec2 shadowMapSize(int width, int height)
{
    GLint textureLimit = 0;
    GLint viewportLimit[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textureLimit);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportLimit);
    const int limit = std::min({textureLimit, viewportLimit[0], viewportLimit[1]});
    const double scale = std::min({1.0, limit / (4.0 * width), limit / (4.0 * height)});
    const auto side = [&](int size) { return std::clamp(static_cast<int>(std::lround(4.0 * size * scale)), 1, limit); };
    return glm::ivec2(side(width), side(height));
}

void setMatrix(int location, const glm::mat4& value)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

// The farthest a glow step reads from the texel it writes: the widest blur fetch (11.4 texels)
// with the texel beside it that linear filtering mixes in, and one more for the overlay's own
// filtering.
constexpr int glowReach = 14;

// Draws only inside `area`, or everywhere when there is none.
template <class Draw>
void drawWithin(const std::optional<PixelRect>& area, Draw&& draw)
{
    if (!area) {
        draw();
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(area->x, area->y, area->width, area->height);
    draw();
    glDisable(GL_SCISSOR_TEST);
}

void setVector(int location, const glm::vec3& value)
{
    glUniform3fv(location, 1, glm::value_ptr(value));
}

// Cubes that broke away are gone; with culling on, only those in the band around the
// flame that the light reaches are drawn.
bool cubeShown(const Cube& cube, float flameZ, bool culling)
{
    if (cube.broken)
        return false;
    return !culling || (flameZ - 8.0f < cube.position.z && cube.position.z < flameZ + 2.0f);
}

void drawCounted(SceneObject* object, int pass, int& count)
{
    if (!object)
        return;
    object->draw(pass);
    ++count;
}

// The objects of the level in the walk's order; the cubes come in the order given.
void drawLevelObjects(Game& game, int pass, const std::vector<Cube*>& cubes)
{
    if (pass == RenderPass::Transparent) {
        const bool useTransparency = game.switches().invisTransparency;
        const bool culling = game.switches().viewFrustumCulling;
        for (auto& cube : game.invisCubes) {
            if (!cubeShown(*cube, game.flame->position.z, culling))
                continue;
            cube->drawTransparent(pass, useTransparency);
            ++game.objectsDrawn;
        }
        return;
    }
    drawCounted(game.hero.get(), pass, game.objectsDrawn);
    for (Cube* cube : cubes)
        drawCounted(cube, pass, game.objectsDrawn);
    drawCounted(game.flame.get(), pass, game.objectsDrawn);
    drawCounted(game.propeller.get(), pass, game.objectsDrawn);
    drawCounted(game.plane.get(), pass, game.objectsDrawn);
}

// The meters, then one small bar per remaining life.
void drawBars(Game& game, int pass)
{
    if (game.farBar)
        game.farBar->draw(pass);
    if (game.nearBar)
        game.nearBar->draw(pass);
    int shown = 0;
    for (auto& bar : game.lifeBars) {
        if (shown >= game.hero->lives)
            break;
        bar->draw(pass);
        ++shown;
    }
}

// Screen-space passes draw flat quads whose winding depends on how the file was exported
// (and the importer flips it); culling them could lose the whole glow or HUD.
bool drawsFlatQuads(int pass)
{
    return pass == RenderPass::Glow || pass == RenderPass::Hud;
}

// Sets one of a texture's two filter modes and keeps the other as it was.
void applyToColorTexture(const SceneObject* object, int value, bool mipmapMode)
{
    if (!object || !object->model.colorTexture)
        return;
    Texture& texture = *object->model.colorTexture;
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

FrameRenderer::FrameRenderer(int width, int height) : shaders_(*ShaderManager::instance())
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
    shadowTarget_->init(shadowSize_.x, shadowSize_.y);
    for (auto& target : glowTargets_) {
        target = std::make_unique<RenderTarget>();
        target->init(quarterOf(width), quarterOf(height));
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

void FrameRenderer::renderFrame(Game& game)
{
    const int w = size_.x, h = size_.y;
    applyDebugViews(game);

    // The shadow map is four times the window in each direction (as far as the driver
    // allows); front faces are culled so that a surface does not shadow itself.
    glViewport(0, 0, shadowSize_.x, shadowSize_.y);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0, 0);
    glCullFace(GL_FRONT);
    render(game, RenderPass::Shadow);

    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 1);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_BACK);
    render(game, RenderPass::Main);
    render(game, RenderPass::Transparent);

    // The glow is drawn and blurred at a quarter of the window in each direction.
    glViewport(0, 0, quarterOf(w), quarterOf(h));
    glClearColor(0, 0, 0, 0);
    render(game, RenderPass::FlameGlow);
    glClearColor(0, 0, 0, 0);
    render(game, RenderPass::Glow);

    glViewport(0, 0, w, h);
    render(game, RenderPass::Hud);
}

void FrameRenderer::renderEmptyFrame() const
{
    const int w = size_.x, h = size_.y;
    glViewport(0, 0, shadowSize_.x, shadowSize_.y);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0, 0);
    glCullFace(GL_FRONT);
    glClearColor(1, 1, 1, 1);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, shadowTarget_->framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);

    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 1);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_BACK);

    glViewport(0, 0, quarterOf(w), quarterOf(h));
    RenderTarget::clearColorTransparent();
    for (const auto& target : glowTargets_)
        target->bindAndClear();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, w, h);
}

// The debug keys' changes reach GL before the frame that follows them is drawn.
void FrameRenderer::applyDebugViews(Game& game)
{
    if (game.wireframe != wireframe_) {
        wireframe_ = game.wireframe;
        glPolygonMode(GL_FRONT_AND_BACK, wireframe_ ? GL_LINE : GL_FILL);
    }
    for (const TextureSamplingChange& change : game.samplingChanges)
        applyTextureSampling(game, change.value, change.mipmapMode);
    game.samplingChanges.clear();
}

void FrameRenderer::render(Game& game, int pass)
{
    game.objectsDrawn = 0;
    if (!game.hero || !game.flame)
        return; // no level built yet

    if (drawsFlatQuads(pass))
        glDisable(GL_CULL_FACE);
    switch (pass) {
    case RenderPass::Shadow: beginShadowPass(game); break;
    case RenderPass::FlameGlow: beginFlameGlowPass(game); break;
    case RenderPass::Glow: beginGlowPass(game); break;
    case RenderPass::Main:
    case RenderPass::Transparent: beginLitPass(game); break;
    case RenderPass::Hud: shaders_.useProgram(ProgramKind::Hud); break;
    default: break;
    }

    drawLevelObjects(game, pass, cubesToDraw(game, pass));
    drawBars(game, pass);
    if (drawsFlatQuads(pass))
        glEnable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}

// The cubes a pass draws. In the main pass the nearest to the eye come first: a fragment
// behind one already drawn then fails the depth test before it is shaded, which in file
// order (across the level, away from a camera on its right) many hidden side faces did not.
// The same cubes are drawn and counted in every order; the shadow pass, which shades
// nothing, and the transparent one, whose blending depends on it, keep the file's order.
const std::vector<Cube*>& FrameRenderer::cubesToDraw(const Game& game, int pass)
{
    shownCubes_.clear();
    const bool culling = game.switches().viewFrustumCulling;
    const float flameZ = game.flame->position.z;
    for (const auto& cube : game.cubes)
        if (cubeShown(*cube, flameZ, culling))
            shownCubes_.push_back(cube.get());
    if (pass != RenderPass::Main)
        return shownCubes_;

    const Camera& camera = *game.camera;
    const glm::vec3 viewpoint = camera.frozen ? camera.savedEye : camera.eye;
    const auto distance = [&](const Cube* cube) {
        const glm::vec3 top = cube->position + glm::vec3(0.5f, 0.0f, -0.5f);
        return glm::dot(top - viewpoint, top - viewpoint);
    };
    std::stable_sort(shownCubes_.begin(), shownCubes_.end(),
                     [&](const Cube* a, const Cube* b) { return distance(a) < distance(b); });
    return shownCubes_;
}

void FrameRenderer::beginShadowPass(Game& game)
{
    glClearColor(1, 1, 1, 1);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, shadowTarget_->framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(shaders_.program(ProgramKind::Depth));
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);

    const glm::vec3 light = lightPoint(game);
    const glm::mat4 projection = shadowProjection(width_ / height_);
    const glm::mat4 view = shadowView(light, game.hero->position);
    setMatrix(shaders_.location(ProgramKind::Depth, "projectionMatrix"), projection);
    setMatrix(shaders_.location(ProgramKind::Depth, "viewMatrix"), projection * view);
    setVector(shaders_.location(ProgramKind::Depth, "camPosition"), light);
}

void FrameRenderer::beginFlameGlowPass(Game& game)
{
    shaders_.useProgram(ProgramKind::Flame);
    RenderTarget::clearColorTransparent();
    glowTargets_[0]->bindAndClear();
    const glm::mat4 view = computeView(*game.camera, game.hero->position, game.flame->position);
    setMatrix(shaders_.location(ProgramKind::Flame, "projectionMatrix"), projectionMatrix_);
    setMatrix(shaders_.location(ProgramKind::Flame, "viewMatrix"), view);
    findGlowArea(game, view);
}

// The flame is small on the screen, and a blur of black is black.
void FrameRenderer::findGlowArea(const Game& game, const glm::mat4& view)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Flame& flame = *game.flame;
    glowArea_ = projectedArea(flame.model.mesh->positions, projectionMatrix_ * view * flame.modelMatrix, viewport[2],
                              viewport[3]);
    if (glowArea_)
        glowArea_ = widened(*glowArea_, glowReach, viewport[2], viewport[3]);
}

// One blur step: reads one quarter-size image, writes the next.
void FrameRenderer::blurStep(Game& game, const RenderTarget& source, const RenderTarget& destination, int step)
{
    destination.bindAndClear();
    source.bindColorTexture();
    glUniform1i(shaders_.location(ProgramKind::Glow, "glowTexture"), 0);
    glUniform1i(shaders_.location(ProgramKind::Glow, "pass"), step);
    if (game.plane)
        drawWithin(glowArea_, [&] { game.plane->draw(RenderPass::Glow); });
}

// Blurs the flame image across and then down at quarter size, and leaves the program set up
// to lay the result over the frame; the object walk draws that last quad, within the area
// the glow can reach.
void FrameRenderer::beginGlowPass(Game& game)
{
    shaders_.useProgram(ProgramKind::Glow);
    glUniform1f(shaders_.location(ProgramKind::Glow, "windowHeight"), 0.25f * height_);
    glUniform1f(shaders_.location(ProgramKind::Glow, "windowWidth"), 0.25f * width_);
    blurStep(game, *glowTargets_[0], *glowTargets_[1], 1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    blurStep(game, *glowTargets_[1], *glowTargets_[2], 2);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const int windowWidth = static_cast<int>(width_), windowHeight = static_cast<int>(height_);
    glViewport(0, 0, windowWidth, windowHeight);
    glowTargets_[2]->bindColorTexture();
    glUniform1i(shaders_.location(ProgramKind::Glow, "glowTexture"), 0);
    glUniform1i(shaders_.location(ProgramKind::Glow, "pass"), 3);
    glUniform1i(shaders_.location(ProgramKind::Glow, "border"), borderRow(height_));
    if (glowArea_) {
        const PixelRect overlay = scaledUp(*glowArea_, 4, windowWidth, windowHeight);
        glEnable(GL_SCISSOR_TEST);
        glScissor(overlay.x, overlay.y, overlay.width, overlay.height);
    }
}

// Main and transparent passes: the lit program with the chase camera and the shadow map.
void FrameRenderer::beginLitPass(Game& game)
{
    shaders_.useProgram(ProgramKind::Basic);
    setMatrix(shaders_.location(ProgramKind::Basic, "biasMat"), biasMatrix);

    const glm::mat4 projection = shadowProjection(width_ / height_);
    const glm::mat4 view = shadowView(lightPoint(game), game.hero->position);
    setMatrix(shaders_.location(ProgramKind::Basic, "depthProjMat"), projection);
    setMatrix(shaders_.location(ProgramKind::Basic, "depthViewMat"), view);
    setMatrix(shaders_.location(ProgramKind::Basic, "depthMVP"), biasMatrix * projection * view);

    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, shadowTarget_->depthTexture);
    glUniform1i(shaders_.location(ProgramKind::Basic, "shadow_texture"), 2);

    Camera& camera = *game.camera;
    setMatrix(shaders_.location(ProgramKind::Basic, "projectionMatrix"), projectionMatrix_);
    setMatrix(shaders_.location(ProgramKind::Basic, "viewMatrix"),
              computeView(camera, game.hero->position, game.flame->position));
    setVector(shaders_.location(ProgramKind::Basic, "camPosition"), camera.frozen ? camera.savedEye : camera.eye);
    glUniform1i(shaders_.location(ProgramKind::Basic, "border"), borderRow(height_));
}

void FrameRenderer::applyTextureSampling(Game& game, int value, bool mipmapMode) const
{
    applyToColorTexture(game.hero.get(), value, mipmapMode);
    for (const auto& cube : game.cubes)
        applyToColorTexture(cube.get(), value, mipmapMode);
    for (const auto& cube : game.invisCubes)
        applyToColorTexture(cube.get(), value, mipmapMode);
    applyToColorTexture(game.flame.get(), value, mipmapMode);
    applyToColorTexture(game.propeller.get(), value, mipmapMode);
    applyToColorTexture(game.plane.get(), value, mipmapMode);
}
