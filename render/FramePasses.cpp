#include "game/Game.h"

#include "app/DebugSwitches.h"
#include "render/RenderPass.h"
#include "render/RenderTarget.h"
#include "render/ShaderManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/PlaneAndPropeller.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

// Maps clip coordinates -1..1 to shadow-map texture coordinates 0..1.
const glm::mat4 biasMatrix(0.5f, 0.0f, 0.0f, 0.0f,
                           0.0f, 0.5f, 0.0f, 0.0f,
                           0.0f, 0.0f, 0.5f, 0.0f,
                           0.5f, 0.5f, 0.5f, 1.0f);

// The flame sits close behind the hero and must see most of the level around it: a very
// wide, short frustum.
glm::mat4 shadowProjection(const Game& game)
{
    return glm::perspective(glm::radians(160.0f), game.width / game.height, 0.01f, 10.0f);
}

// Looking from the light at the hero. With the light straight above or below the hero
// the usual up vector is parallel to the view and lookAt would give NaNs, so another one
// is taken for that case.
glm::mat4 shadowView(glm::vec3 light, glm::vec3 hero)
{
    glm::vec3 up(0.0f, 1.0f, 0.0f);
    if (glm::length(glm::cross(hero - light, up)) < 1e-6f)
        up = glm::vec3(0.0f, 0.0f, -1.0f);
    return glm::lookAt(light, hero, up);
}

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

void setMatrix(int location, const glm::mat4& value)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

void setVector(int location, const glm::vec3& value)
{
    glUniform3fv(location, 1, glm::value_ptr(value));
}

void beginShadowPass(Game& game)
{
    const ShaderManager& shaders = *game.shaderManager;
    glClearColor(1, 1, 1, 1);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, game.shadowTarget->framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(shaders.program(ProgramKind::Depth));

    const glm::vec3 light = lightPoint(game);
    const glm::mat4 projection = shadowProjection(game);
    const glm::mat4 view = shadowView(light, game.hero->position);
    setMatrix(shaders.location(ProgramKind::Depth, "projectionMatrix"), projection);
    setMatrix(shaders.location(ProgramKind::Depth, "viewMatrix"), projection * view);
    setVector(shaders.location(ProgramKind::Depth, "camPosition"), light);
}

void beginFlameGlowPass(Game& game)
{
    const ShaderManager& shaders = *game.shaderManager;
    shaders.useProgram(ProgramKind::Flame);
    RenderTarget::clearColorTransparent();
    game.glowTargets[0]->bindAndClear();
    setMatrix(shaders.location(ProgramKind::Flame, "projectionMatrix"), game.projectionMatrix);
    setMatrix(shaders.location(ProgramKind::Flame, "viewMatrix"),
              game.camera->computeView(game.hero->position, game.flame->position));
}

// One blur step: reads one quarter-size image, writes the next.
void blurStep(Game& game, const RenderTarget& source, RenderTarget& destination, int step)
{
    const ShaderManager& shaders = *game.shaderManager;
    destination.bindAndClear();
    source.bindColorTexture();
    glUniform1i(shaders.location(ProgramKind::Glow, "glowTexture"), 0);
    glUniform1i(shaders.location(ProgramKind::Glow, "pass"), step);
    if (game.plane)
        game.plane->draw(RenderPass::Glow);
}

// Blurs the flame image across and then down at quarter size, and leaves the program set up
// to lay the result over the frame; the object walk draws that last quad.
void beginGlowPass(Game& game)
{
    const ShaderManager& shaders = *game.shaderManager;
    shaders.useProgram(ProgramKind::Glow);
    glUniform1f(shaders.location(ProgramKind::Glow, "windowHeight"), 0.25f * game.height);
    glUniform1f(shaders.location(ProgramKind::Glow, "windowWidth"), 0.25f * game.width);
    blurStep(game, *game.glowTargets[0], *game.glowTargets[1], 1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    blurStep(game, *game.glowTargets[1], *game.glowTargets[2], 2);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, static_cast<int>(game.width), static_cast<int>(game.height));
    game.glowTargets[2]->bindColorTexture();
    glUniform1i(shaders.location(ProgramKind::Glow, "glowTexture"), 0);
    glUniform1i(shaders.location(ProgramKind::Glow, "pass"), 3);
    glUniform1i(shaders.location(ProgramKind::Glow, "border"), borderRow(game.height));
}

// Main and transparent passes: the lit program with the chase camera and the shadow map.
void beginLitPass(Game& game)
{
    const ShaderManager& shaders = *game.shaderManager;
    shaders.useProgram(ProgramKind::Basic);
    setMatrix(shaders.location(ProgramKind::Basic, "biasMat"), biasMatrix);

    const glm::mat4 projection = shadowProjection(game);
    const glm::mat4 view = shadowView(lightPoint(game), game.hero->position);
    setMatrix(shaders.location(ProgramKind::Basic, "depthProjMat"), projection);
    setMatrix(shaders.location(ProgramKind::Basic, "depthViewMat"), view);
    setMatrix(shaders.location(ProgramKind::Basic, "depthMVP"), biasMatrix * projection * view);

    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, game.shadowTarget->depthTexture);
    glUniform1i(shaders.location(ProgramKind::Basic, "shadow_texture"), 2);

    Camera& camera = *game.camera;
    setMatrix(shaders.location(ProgramKind::Basic, "projectionMatrix"), game.projectionMatrix);
    setMatrix(shaders.location(ProgramKind::Basic, "viewMatrix"),
              camera.computeView(game.hero->position, game.flame->position));
    setVector(shaders.location(ProgramKind::Basic, "camPosition"), camera.frozen ? camera.savedEye : camera.eye);
    glUniform1i(shaders.location(ProgramKind::Basic, "border"), borderRow(game.height));
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

void drawLevelObjects(Game& game, int pass)
{
    const bool culling = debugSwitches().viewFrustumCulling;
    const float flameZ = game.flame->position.z;
    if (pass == RenderPass::Transparent) {
        const bool useTransparency = debugSwitches().invisTransparency;
        for (auto& cube : game.invisCubes) {
            if (!cubeShown(*cube, flameZ, culling))
                continue;
            cube->drawTransparent(pass, useTransparency);
            ++game.objectsDrawn;
        }
        return;
    }
    drawCounted(game.hero.get(), pass, game.objectsDrawn);
    for (auto& cube : game.cubes)
        if (cubeShown(*cube, flameZ, culling))
            drawCounted(cube.get(), pass, game.objectsDrawn);
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

} // namespace

void Game::render(int pass)
{
    objectsDrawn = 0;
    if (!hero || !flame)
        return; // no level built yet

    if (drawsFlatQuads(pass))
        glDisable(GL_CULL_FACE);
    switch (pass) {
    case RenderPass::Shadow: beginShadowPass(*this); break;
    case RenderPass::FlameGlow: beginFlameGlowPass(*this); break;
    case RenderPass::Glow: beginGlowPass(*this); break;
    case RenderPass::Main:
    case RenderPass::Transparent: beginLitPass(*this); break;
    case RenderPass::Hud: shaderManager->useProgram(ProgramKind::Hud); break;
    default: break;
    }

    drawLevelObjects(*this, pass);
    drawBars(*this, pass);
    if (drawsFlatQuads(pass))
        glEnable(GL_CULL_FACE);

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}
