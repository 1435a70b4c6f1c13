#include "scene/Bar.h"

#include "render/gl/RenderPass.h"
#include "render/gl/ShaderManager.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

Bar::Bar(glm::vec3 position, glm::vec3 color, ModelSource source)
    : SceneObject(position, "bar/bar", 1.0f, 3.0f, source), color(color)
{
}

void Bar::update(double)
{
    // Nothing clamps the value: a meter that overshot for a frame shows as a wider bar.
    const glm::mat4 stretch = glm::scale(glm::mat4(1.0f), glm::vec3(value, 0.05f, 1.0f));
    modelMatrix = glm::translate(glm::mat4(1.0f), position) * stretch;
}

void Bar::draw(int pass)
{
    if (pass != RenderPass::Hud)
        return;
    uploadModelMatrix(ProgramKind::Hud);
    glUniform3f(shaderManager->location(ProgramKind::Hud, "colorFinal"), color.x, color.y, color.z);
    glUniform3f(shaderManager->location(ProgramKind::Hud, "colorNeutral"), neutralColor.x, neutralColor.y,
                neutralColor.z);
    SceneObject::draw(pass);
}
