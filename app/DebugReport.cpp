#include "app/DebugSwitches.h"
#include "assets/Texture.h"
#include "game/Game.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/PlaneAndPropeller.h"

#include <GL/glew.h>
#include <iostream>
#include <string>

DebugSwitches& debugSwitches()
{
    static DebugSwitches switches;
    return switches;
}

namespace {

const std::string separatorLine(69, '-');

// Every figure is the negation of its switch, so the three view lines read 1 while that
// debug view replaces the normal drawing.
void printSwitchReport(const DebugSwitches& s, int objectsDrawn)
{
    std::cout << separatorLine << std::endl;
    std::cout << "draw Wireframe: " << (s.solidFill ? 0 : 1) << std::endl;
    std::cout << "Transparency: " << (s.invisTransparency ? 0 : 1) << std::endl;
    std::cout << "ViewFrustum: " << (s.viewFrustumCulling ? 0 : 1) << " | " << objectsDrawn << " object drawn"
              << std::endl;
    std::cout << "TextureSampling: " << (s.linearSampling ? 0 : 1) << std::endl;
    std::cout << "Level of MipMapping: " << (s.mipmapLevel == 0 ? 1 : 0) << std::endl;
}

// A frame time of 0 (the very first frame) or one too small to give an int figure has no
// meaningful rate; 0 says so instead of converting an out-of-range float.
int framesPerSecond(float frameTime)
{
    const float fps = 1.0f / frameTime;
    if (!(fps > -2.0e9f && fps < 2.0e9f))
        return 0;
    return static_cast<int>(fps);
}

void printFrametimeLine(float frameTime)
{
    std::cout << separatorLine << std::endl;
    std::cout << "Frametime: " << frameTime << " " << framesPerSecond(frameTime) << "FPS" << std::endl;
}

} // namespace

void Game::printDebugReport(float frameTime)
{
    DebugSwitches& switches = debugSwitches();
    if (switches.reportPending) {
        switches.reportPending = false;
        printSwitchReport(switches, objectsDrawn);
        reportTimer = 0.0f;
        glPolygonMode(GL_FRONT_AND_BACK, switches.solidFill ? GL_FILL : GL_LINE);
    } else if (reportTimer > 1.0f && switches.showFrametime) {
        printFrametimeLine(frameTime);
        reportTimer = 0.0f;
    }
    reportTimer += frameTime;
}

namespace {

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

void Game::applyTextureSampling(int value, bool mipmapMode)
{
    applyToColorTexture(hero.get(), value, mipmapMode);
    for (const auto& cube : cubes)
        applyToColorTexture(cube.get(), value, mipmapMode);
    for (const auto& cube : invisCubes)
        applyToColorTexture(cube.get(), value, mipmapMode);
    applyToColorTexture(flame.get(), value, mipmapMode);
    applyToColorTexture(propeller.get(), value, mipmapMode);
    applyToColorTexture(plane.get(), value, mipmapMode);
}
