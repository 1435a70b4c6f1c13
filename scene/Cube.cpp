#include "scene/Cube.h"

#include "render/gl/RenderPass.h"
#include "render/gl/ShaderManager.h"

#include <GL/glew.h>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <iostream>
#include <memory>

Cube::Cube(glm::vec3 position, ModelSource source)
    : SceneObject(position, "cube/cube", 2.0f, 1.0f, source)
{
    model.material = std::make_shared<Material>(Material{0.2f, 1.5f, 0.2f});
}

void Cube::draw(int pass)
{
    if (pass == RenderPass::Shadow) {
        uploadModelMatrix(ProgramKind::Depth);
        SceneObject::draw(pass);
    } else if (pass == RenderPass::Main || pass == RenderPass::Transparent) {
        uploadModelMatrix(ProgramKind::Basic);
        SceneObject::draw(pass);
    }
}

void Cube::updateCube(float)
{
    modelMatrix = glm::translate(glm::mat4(1.0f), position);
}

CubeInvis::CubeInvis(const Cube& cube) : Cube(cube) {}

void CubeInvis::updateCube(float dt)
{
    // The fading area is shifted by 0.2 against the cell, and the hero's height does not
    // count: jumping over the cube starts it fading too.
    if (std::trunc(heroPosition.x + 0.2f) == position.x && std::trunc(heroPosition.z + 0.2f) == position.z)
        fading = true;
    if (fading)
        transparency -= fadeRate * dt;
    if (transparency < 0.0f) {
        broken = true;
        fading = false;
    }
    Cube::updateCube(dt);
}

void CubeInvis::drawTransparent(int pass, bool useTransparency)
{
    if (pass == RenderPass::Shadow || pass == RenderPass::Main) {
        Cube::draw(pass);
        return;
    }
    if (pass != RenderPass::Transparent)
        return;
    reportGlError("before Uniform transparency");
    reportGlError("before");
    glUniform1f(shaderManager->location(ProgramKind::Basic, "transparency"), useTransparency ? transparency : 1.0f);
    reportGlError("after");
    reportGlError("after Uniform transparency");
    Cube::draw(pass);
}

CubeFinish::CubeFinish(glm::vec3 position, ModelSource source) : Cube(position, source) {}

void CubeFinish::draw(int pass)
{
    if (pass == RenderPass::Shadow || pass == RenderPass::Main)
        SceneObject::draw(pass);
}

void CubeFinish::updateCube(float)
{
    // The hero must be in the finish's cell and on or above its top: one that has dived into
    // a column too high to climb and sinks inside it below the finish has not reached it.
    constexpr float topTolerance = 0.1f;
    if (std::trunc(heroPosition.x) == position.x && std::trunc(heroPosition.z) == position.z &&
        heroPosition.y >= position.y - topTolerance) {
        std::cout << "you won" << std::endl;
        reached = true;
    }
}
