#include "scene/SceneObject.h"

#include "assets/SoundManager.h"
#include "assets/Texture.h"
#include "render/RenderPass.h"
#include "render/ShaderManager.h"

#include <GL/glew.h>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/type_ptr.hpp>
#include <iostream>

namespace {

const char* const modelFolder = "Tindral/3DModels/";

// Left-handed conversion (with flipped uvs and winding), shared vertices, triangles only,
// merged meshes. Tangent space is computed here, not by the importer.
constexpr unsigned int importFlags = aiProcess_ConvertToLeftHanded | aiProcess_JoinIdenticalVertices |
                                     aiProcess_Triangulate | aiProcess_OptimizeMeshes;
static_assert(importFlags == 0x1A0000E, "model import flags changed");

glm::vec3 vec3At(const std::vector<float>& values, size_t vertex)
{
    return glm::vec3(values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]);
}

glm::vec2 vec2At(const std::vector<float>& values, size_t vertex)
{
    return glm::vec2(values[2 * vertex], values[2 * vertex + 1]);
}

void addVec3At(std::vector<float>& values, size_t vertex, glm::vec3 v)
{
    values[3 * vertex] += v.x;
    values[3 * vertex + 1] += v.y;
    values[3 * vertex + 2] += v.z;
}

// Tangents and bitangents from windows of three consecutive vertices in storage order,
// summed per vertex and left unnormalised (the lit shader normalises them). A window whose
// uvs do not span an area says nothing about the texture's directions and adds nothing.
void accumulateTangentFrames(Mesh& mesh)
{
    const size_t vertexCount = mesh.positions.size() / 3;
    for (size_t i0 = 0; i0 < vertexCount; ++i0) {
        const size_t i1 = (i0 + 1) % vertexCount;
        const size_t i2 = (i0 + 2) % vertexCount;
        const glm::vec3 dP1 = vec3At(mesh.positions, i1) - vec3At(mesh.positions, i0);
        const glm::vec3 dP2 = vec3At(mesh.positions, i2) - vec3At(mesh.positions, i0);
        const glm::vec2 dUV1 = vec2At(mesh.uvs, i1) - vec2At(mesh.uvs, i0);
        const glm::vec2 dUV2 = vec2At(mesh.uvs, i2) - vec2At(mesh.uvs, i0);
        const float determinant = dUV1.x * dUV2.y - dUV1.y * dUV2.x;
        if (determinant == 0.0f)
            continue;
        const float r = 1.0f / determinant;
        const glm::vec3 tangent = (dP1 * dUV2.y - dP2 * dUV1.y) * r;
        const glm::vec3 bitangent = (dP2 * dUV1.x - dP1 * dUV2.x) * r;
        for (size_t vertex : {i0, i1, i2}) {
            addVec3At(mesh.tangents, vertex, tangent);
            addVec3At(mesh.bitangents, vertex, bitangent);
        }
    }
}

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

SceneObject::SceneObject(glm::vec3 position, const std::string& modelName, float uvScale, float scaleFactor,
                         ModelSource source)
    : position(position), uvScale(uvScale), scaleFactor(scaleFactor)
{
    if (source == ModelSource::Detached)
        return;
    shaderManager = ShaderManager::instance();
    loadModel(modelName);
}

void SceneObject::updateWithParent(glm::mat4, double) {}
void SceneObject::update(double) {}
void SceneObject::setVelocity(glm::vec3) {}
void SceneObject::jump() {}

void SceneObject::playSound(int id, bool looped)
{
    SoundManager::instance().playSound(id, looped);
}

void SceneObject::loadModel(const std::string& name)
{
    const std::string base = modelFolder + name;
    const bool imported = importMesh(base + ".obj");
    loadColorTexture(base + "_diff.jpg");
    loadNormalTexture(base + "_norm.jpg");
    if (imported)
        uploadBuffers();
}

bool SceneObject::importMesh(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path.c_str(), importFlags);
    if (!scene) {
        std::cout << importer.GetErrorString() << std::endl;
        return false;
    }
    if (scene->mNumMeshes == 0 || !scene->mMeshes[0]) {
        std::cout << "no mesh in model: " << path << std::endl;
        return false;
    }
    const aiMesh& source = *scene->mMeshes[0];
    Mesh& mesh = model.mesh;

    // Points and lines that the file may mix in have fewer than three corners: not triangles.
    mesh.indices.clear();
    mesh.indices.reserve(3 * static_cast<size_t>(source.mNumFaces));
    for (unsigned int f = 0; f < source.mNumFaces; ++f) {
        const aiFace& face = source.mFaces[f];
        if (face.mNumIndices < 3)
            continue;
        mesh.indices.insert(mesh.indices.end(), face.mIndices, face.mIndices + 3);
    }

    const size_t vertexCount = source.mNumVertices;
    mesh.positions.assign(3 * vertexCount, 0.0f);
    mesh.normals.assign(3 * vertexCount, 0.0f);
    mesh.tangents.assign(3 * vertexCount, 0.0f);
    mesh.bitangents.assign(3 * vertexCount, 0.0f);
    mesh.uvs.assign(2 * vertexCount, 0.0f);
    for (size_t i = 0; i < vertexCount; ++i) {
        if (source.HasPositions()) {
            const aiVector3D& p = source.mVertices[i];
            mesh.positions[3 * i] = p.x;
            mesh.positions[3 * i + 1] = p.y;
            mesh.positions[3 * i + 2] = p.z;
        }
        if (source.HasNormals()) {
            const aiVector3D& n = source.mNormals[i];
            mesh.normals[3 * i] = n.x;
            mesh.normals[3 * i + 1] = n.y;
            mesh.normals[3 * i + 2] = n.z;
        }
        if (source.HasTextureCoords(0)) {
            const aiVector3D& t = source.mTextureCoords[0][i];
            mesh.uvs[2 * i] = t.x * uvScale;
            mesh.uvs[2 * i + 1] = t.y * uvScale;
        }
    }
    accumulateTangentFrames(mesh);
    return true;
}

void SceneObject::loadColorTexture(const std::string& path)
{
    model.colorTexture = std::make_shared<Texture>(path);
}

void SceneObject::loadNormalTexture(const std::string& path)
{
    model.normalTexture = std::make_shared<Texture>(path);
}

void SceneObject::uploadBuffers()
{
    auto gpu = std::make_shared<GpuMesh>();
    const Mesh& mesh = model.mesh;
    gpu->positionBuffer = createArrayBuffer(mesh.positions);
    gpu->normalBuffer = createArrayBuffer(mesh.normals);
    gpu->uvBuffer = createArrayBuffer(mesh.uvs);
    gpu->tangentBuffer = createArrayBuffer(mesh.tangents);
    gpu->bitangentBuffer = createArrayBuffer(mesh.bitangents);

    glGenBuffers(1, &gpu->indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gpu->indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint32_t)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    glGenVertexArrays(1, &gpu->vertexArray);
    glBindVertexArray(gpu->vertexArray);
    const GLuint basic = shaderManager->program(ProgramKind::Basic);
    bindAttribute(basic, "position", gpu->positionBuffer, 3);
    bindAttribute(basic, "normal", gpu->normalBuffer, 3);
    bindAttribute(basic, "uv", gpu->uvBuffer, 2);
    bindAttribute(basic, "tangents", gpu->tangentBuffer, 3);
    bindAttribute(basic, "bitangents", gpu->bitangentBuffer, 3);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gpu->indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    model.gpu = std::move(gpu);
}

void SceneObject::draw(int pass)
{
    if (!model.gpu || !shaderManager)
        return;
    if (pass == RenderPass::Main || pass == RenderPass::Transparent)
        bindSurface(pass == RenderPass::Main);
    glBindVertexArray(model.gpu->vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(model.mesh.indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

// Textures on units 0 and 1 and the material into the lit program. The main pass draws
// opaque; the transparent pass keeps the opacity its caller has set.
void SceneObject::bindSurface(bool opaque) const
{
    const ShaderManager& shaders = *shaderManager;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, model.colorTexture ? model.colorTexture->name : 0);
    glUniform1i(shaders.location(ProgramKind::Basic, "color_texture"), 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, model.normalTexture ? model.normalTexture->name : 0);
    glUniform1i(shaders.location(ProgramKind::Basic, "normal_texture"), 1);
    if (model.material) {
        glUniform1f(shaders.location(ProgramKind::Basic, "material_ambient"), model.material->ambient);
        glUniform1f(shaders.location(ProgramKind::Basic, "material_diffuse"), model.material->diffuse);
        glUniform1f(shaders.location(ProgramKind::Basic, "material_specular"), model.material->specular);
    }
    if (opaque)
        glUniform1f(shaders.location(ProgramKind::Basic, "transparency"), 1.0f);
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
