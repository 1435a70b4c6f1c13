#include "assets/Model.h"

#include "assets/Texture.h"
#include "render/gl/RenderPass.h"
#include "render/gl/ShaderManager.h"

#include <GL/glew.h>

namespace {

const char* const modelFolder = "Tindral/3DModels/";

GLuint createArrayBuffer(const std::vector<float>& values)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(float)), values.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer;
}

// Attribute locations come from the lit program; one it does not use (-1) is left off,
// since GL would reject it.
void bindAttribute(GLuint program, const char* name, GLuint buffer, GLint components)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLint location = glGetAttribLocation(program, name);
    if (location < 0)
        return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

} // namespace

GpuMesh::~GpuMesh()
{
    if (vertexArray)
        glDeleteVertexArrays(1, &vertexArray);
    const GLuint buffers[] = {positionBuffer, normalBuffer, indexBuffer, uvBuffer, tangentBuffer, bitangentBuffer};
    for (GLuint buffer : buffers)
        if (buffer)
            glDeleteBuffers(1, &buffer);
}

void Model::loadModel(const std::string& name, float uvScale, const ShaderManager& shaders)
{
    const std::string base = modelFolder + name;
    const bool imported = importMesh(base + ".obj", uvScale, mesh);
    loadColorTexture(base + "_diff.jpg");
    loadNormalTexture(base + "_norm.jpg");
    if (imported)
        uploadBuffers(shaders);
}

void Model::loadColorTexture(const std::string& path)
{
    colorTexture = std::make_shared<Texture>(path);
}

void Model::loadNormalTexture(const std::string& path)
{
    normalTexture = std::make_shared<Texture>(path);
}

void Model::uploadBuffers(const ShaderManager& shaders)
{
    auto uploaded = std::make_shared<GpuMesh>();
    uploaded->positionBuffer = createArrayBuffer(mesh.positions);
    uploaded->normalBuffer = createArrayBuffer(mesh.normals);
    uploaded->uvBuffer = createArrayBuffer(mesh.uvs);
    uploaded->tangentBuffer = createArrayBuffer(mesh.tangents);
    uploaded->bitangentBuffer = createArrayBuffer(mesh.bitangents);

    glGenBuffers(1, &uploaded->indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, uploaded->indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint32_t)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    glGenVertexArrays(1, &uploaded->vertexArray);
    glBindVertexArray(uploaded->vertexArray);
    const GLuint basic = shaders.program(ProgramKind::Basic);
    bindAttribute(basic, "position", uploaded->positionBuffer, 3);
    bindAttribute(basic, "normal", uploaded->normalBuffer, 3);
    bindAttribute(basic, "uv", uploaded->uvBuffer, 2);
    bindAttribute(basic, "tangents", uploaded->tangentBuffer, 3);
    bindAttribute(basic, "bitangents", uploaded->bitangentBuffer, 3);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, uploaded->indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gpu = std::move(uploaded);
}

void Model::draw(int pass, const ShaderManager& shaders) const
{
    if (!gpu)
        return;
    if (pass == RenderPass::Main || pass == RenderPass::Transparent)
        bindSurface(pass == RenderPass::Main, shaders);
    glBindVertexArray(gpu->vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

// Textures on units 0 and 1 and the material into the lit program. The main pass draws
// opaque; the transparent pass keeps the opacity its caller has set.
void Model::bindSurface(bool opaque, const ShaderManager& shaders) const
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colorTexture ? colorTexture->name : 0);
    glUniform1i(shaders.location(ProgramKind::Basic, "color_texture"), 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, normalTexture ? normalTexture->name : 0);
    glUniform1i(shaders.location(ProgramKind::Basic, "normal_texture"), 1);
    if (material) {
        glUniform1f(shaders.location(ProgramKind::Basic, "material_ambient"), material->ambient);
        glUniform1f(shaders.location(ProgramKind::Basic, "material_diffuse"), material->diffuse);
        glUniform1f(shaders.location(ProgramKind::Basic, "material_specular"), material->specular);
    }
    if (opaque)
        glUniform1f(shaders.location(ProgramKind::Basic, "transparency"), 1.0f);
}
