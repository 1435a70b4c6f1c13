#include "assets/Model.h"

#include "assets/Texture.h"
#include "render/gl/RenderPass.h"
#include "render/gl/ShaderManager.h"

#include <GL/glew.h>
#include <filesystem>
#include <map>
#include <utility>

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

// The parts of a model that loaded completely, held only as long as some object uses them,
// so that no GL object outlives the game's use of it.
struct LoadedModel {
    std::weak_ptr<GpuMesh> gpu;
    std::weak_ptr<Texture> colorTexture;
    std::weak_ptr<Texture> normalTexture;
    std::weak_ptr<const Mesh> mesh;
};

// By the model file's full path (the working folder may change) and the uv scale.
std::map<std::pair<std::string, float>, LoadedModel>& loadedModels()
{
    static std::map<std::pair<std::string, float>, LoadedModel> models;
    return models;
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

std::shared_ptr<const Mesh> Model::noMesh()
{
    static const auto empty = std::make_shared<const Mesh>();
    return empty;
}

void Model::loadModel(const std::string& name, float uvScale, const ShaderManager& shaders)
{
    const std::string file = std::filesystem::absolute(modelFolder + name + ".obj").string();
    LoadedModel& loaded = loadedModels()[std::make_pair(file, uvScale)];
    gpu = loaded.gpu.lock();
    colorTexture = loaded.colorTexture.lock();
    normalTexture = loaded.normalTexture.lock();
    auto sharedMesh = loaded.mesh.lock();
    if (gpu && colorTexture && normalTexture && sharedMesh) {
        mesh = std::move(sharedMesh);
        return;
    }
    gpu.reset();
    if (loadFiles(name, uvScale, shaders))
        loaded = LoadedModel{gpu, colorTexture, normalTexture, mesh};
}

bool Model::loadFiles(const std::string& name, float uvScale, const ShaderManager& shaders)
{
    const std::string base = modelFolder + name;
    auto arrays = std::make_shared<Mesh>();
    const bool imported = importMesh(base + ".obj", uvScale, *arrays);
    loadColorTexture(base + "_diff.jpg");
    loadNormalTexture(base + "_norm.jpg");
    if (!imported)
        return false;
    uploadBuffers(*arrays, shaders);
    mesh = std::move(arrays);
    return colorTexture->name != 0 && normalTexture->name != 0;
}

void Model::loadColorTexture(const std::string& path)
{
    colorTexture = std::make_shared<Texture>(path);
}

void Model::loadNormalTexture(const std::string& path)
{
    normalTexture = std::make_shared<Texture>(path);
}

void Model::uploadBuffers(const Mesh& arrays, const ShaderManager& shaders)
{
    auto uploaded = std::make_shared<GpuMesh>();
    uploaded->positionBuffer = createArrayBuffer(arrays.positions);
    uploaded->normalBuffer = createArrayBuffer(arrays.normals);
    uploaded->uvBuffer = createArrayBuffer(arrays.uvs);
    uploaded->tangentBuffer = createArrayBuffer(arrays.tangents);
    uploaded->bitangentBuffer = createArrayBuffer(arrays.bitangents);

    glGenBuffers(1, &uploaded->indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, uploaded->indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(arrays.indices.size() * sizeof(std::uint32_t)),
                 arrays.indices.data(), GL_STATIC_DRAW);
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
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh->indices.size()), GL_UNSIGNED_INT, nullptr);
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
