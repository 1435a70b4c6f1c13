#include "scene/SceneObject.h"

#include "assets/SoundManager.h"
#include "render/gl/ShaderManager.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>
#include <iostream>

SceneObject::SceneObject(glm::vec3 position, const std::string& modelName, float uvScale, float scaleFactor,
                         ModelSource source)
    : position(position), uvScale(uvScale), scaleFactor(scaleFactor)
{
    if (source == ModelSource::Detached)
        return;
    shaderManager = ShaderManager::instance();
    model.loadModel(modelName, uvScale, *shaderManager);
}

void SceneObject::updateWithParent(glm::mat4, double) {}
void SceneObject::update(double) {}
void SceneObject::setVelocity(glm::vec3) {}
void SceneObject::jump() {}

void SceneObject::draw(int pass)
{
    if (shaderManager)
        model.draw(pass, *shaderManager);
}

void SceneObject::playSound(int id, bool looped)
{
    SoundManager::instance().playSound(id, looped);
}

void SceneObject::uploadModelMatrix(int programKind) const
{
    if (!shaderManager)
        return;
    glUniformMatrix4fv(shaderManager->location(programKind, "modelMatrix"), 1, GL_FALSE,
                       glm::value_ptr(modelMatrix));
}

void SceneObject::reportGlError(const char* where)
{
    if (glGetError() != GL_NO_ERROR)
        std::cout << where << std::endl;
}
