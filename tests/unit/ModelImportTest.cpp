#include "GlContext.h"
#include "TestSupport.h"

#include "assets/Texture.h"
#include "render/RenderPass.h"
#include "render/ShaderManager.h"
#include "scene/SceneObject.h"

#include <cmath>
#include <glm/glm.hpp>
#include <memory>

namespace {

// The game's data folder stand-in: models written into a scratch folder, read from there.
// The shaders come from the run folder, so they are built before moving over.
class ModelImportTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        ShaderManager::instance();
        workingDirectory = std::make_unique<WorkingDirectory>(folder.path());
    }
    void TearDown() override
    {
        workingDirectory.reset();
        GlTest::TearDown();
    }

    // Loads a model quietly and returns what it printed.
    std::unique_ptr<SceneObject> load(const std::string& name, float uvScale, std::string* output = nullptr)
    {
        testing::internal::CaptureStdout();
        auto object = std::make_unique<SceneObject>(glm::vec3(0.0f), name, uvScale, 1.0f);
        const std::string printed = testing::internal::GetCapturedStdout();
        if (output)
            *output = printed;
        return object;
    }

    TempFolder folder;
    std::unique_ptr<WorkingDirectory> workingDirectory;
};

glm::vec3 vectorAt(const std::vector<float>& values, size_t vertex)
{
    return glm::vec3(values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]);
}

GLint vertexArrayAttribute(GLuint vertexArray, GLuint location, GLenum parameter)
{
    glBindVertexArray(vertexArray);
    GLint value = -1;
    glGetVertexAttribiv(location, parameter, &value);
    glBindVertexArray(0);
    return value;
}

} // namespace

TEST_F(ModelImportTest, OnlyTheFirstMeshOfAFileIsImported)
{
    writeModel(folder.path(), "pair/pair",
                         "o First\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n"
                         "f 1/1/1 2/2/1 3/3/1\n"
                         "o Second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\nf 4/1/1 5/2/1 6/3/1\nf 5/2/1 7/3/1 6/1/1\n");
    std::string output;
    auto object = load("pair/pair", 1.0f, &output);
    EXPECT_EQ(output, "");
    const Mesh& mesh = object->model.mesh;
    ASSERT_EQ(mesh.indices.size(), 3u);
    ASSERT_EQ(mesh.positions.size(), 9u);
    for (float value : mesh.positions)
        EXPECT_LE(std::fabs(value), 1.0f) << "a vertex of the second object came along";
    ASSERT_NE(object->model.gpu, nullptr);
}

TEST_F(ModelImportTest, UvsAreFlippedAndScaledAndTangentsFollowThem)
{
    // A square in the xy plane; u runs along +x, v along +y in the file.
    writeModel(folder.path(), "quad/quad", quadObj());
    auto object = load("quad/quad", 4.0f);
    const Mesh& mesh = object->model.mesh;
    ASSERT_EQ(mesh.indices.size(), 6u) << "one four-cornered face becomes two triangles";
    const size_t vertexCount = mesh.positions.size() / 3;
    ASSERT_EQ(vertexCount, 4u);
    ASSERT_EQ(mesh.uvs.size(), 2 * vertexCount);

    for (size_t i = 0; i < vertexCount; ++i) {
        const glm::vec3 p = vectorAt(mesh.positions, i);
        // The file's uv is ((x + 1) / 2, (y + 1) / 2); the importer flips v, then the scale applies.
        EXPECT_FLOAT_EQ(mesh.uvs[2 * i], 4.0f * (p.x + 1.0f) / 2.0f);
        EXPECT_FLOAT_EQ(mesh.uvs[2 * i + 1], 4.0f * (1.0f - (p.y + 1.0f) / 2.0f));

        const glm::vec3 tangent = vectorAt(mesh.tangents, i);
        const glm::vec3 bitangent = vectorAt(mesh.bitangents, i);
        ASSERT_GT(glm::length(tangent), 0.0f);
        ASSERT_GT(glm::length(bitangent), 0.0f);
        EXPECT_GT(glm::normalize(tangent).x, 0.99f) << "u grows along +x";
        EXPECT_LT(glm::normalize(bitangent).y, -0.99f) << "the flipped v grows along -y";
    }
}

TEST_F(ModelImportTest, MeshWithoutUvsOrNormalsGetsZerosAndNoInfiniteTangents)
{
    writeModel(folder.path(), "bare/bare", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    auto object = load("bare/bare", 2.0f);
    const Mesh& mesh = object->model.mesh;
    ASSERT_EQ(mesh.positions.size(), 9u);
    EXPECT_EQ(mesh.uvs, std::vector<float>(6, 0.0f));
    EXPECT_EQ(mesh.normals, std::vector<float>(9, 0.0f));
    EXPECT_EQ(mesh.tangents, std::vector<float>(9, 0.0f)) << "a window without uv area adds nothing";
    EXPECT_EQ(mesh.bitangents, std::vector<float>(9, 0.0f));
}

TEST_F(ModelImportTest, MissingOrUnreadableModelIsReportedAndDrawsNothing)
{
    writeText(folder.path() / "Tindral/3DModels/broken/broken.obj", "f 1 2 3\nthis is not a model\n");
    for (const std::string name : {"absent/absent", "broken/broken"}) {
        SCOPED_TRACE(name);
        std::string output;
        auto object = load(name, 1.0f, &output);
        const std::string firstLine = output.substr(0, output.find('\n'));
        EXPECT_FALSE(firstLine.empty()) << "the importer's reason comes first";
        EXPECT_EQ(firstLine.find("couldnt load texture"), std::string::npos) << output;
        EXPECT_NE(output.find("couldnt load texture: Tindral/3DModels/" + name + "_diff.jpg\n"), std::string::npos);
        EXPECT_NE(output.find("couldnt load texture: Tindral/3DModels/" + name + "_norm.jpg\n"), std::string::npos);
        EXPECT_EQ(object->model.gpu, nullptr);
        EXPECT_TRUE(object->model.mesh.indices.empty());
        for (int pass = 0; pass <= 5; ++pass)
            object->draw(pass);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(ModelImportTest, VertexArrayFeedsTheFiveAttributesAndTheIndices)
{
    writeModel(folder.path(), "cube/cube", cubeObj());
    auto object = load("cube/cube", 2.0f);
    ASSERT_NE(object->model.gpu, nullptr);
    const GpuMesh& gpu = *object->model.gpu;
    EXPECT_EQ(object->model.mesh.indices.size(), 36u);
    ASSERT_NE(object->model.colorTexture, nullptr);
    ASSERT_NE(object->model.normalTexture, nullptr);
    EXPECT_NE(object->model.colorTexture->name, 0u);
    EXPECT_NE(object->model.normalTexture->name, 0u);

    const GLuint basic = ShaderManager::instance()->program(ProgramKind::Basic);
    const struct {
        const char* name;
        GLuint buffer;
        GLint components;
    } attributes[] = {{"position", gpu.positionBuffer, 3}, {"normal", gpu.normalBuffer, 3}, {"uv", gpu.uvBuffer, 2},
                      {"tangents", gpu.tangentBuffer, 3}, {"bitangents", gpu.bitangentBuffer, 3}};
    for (const auto& attribute : attributes) {
        SCOPED_TRACE(attribute.name);
        const GLint location = glGetAttribLocation(basic, attribute.name);
        ASSERT_GE(location, 0);
        const GLuint index = static_cast<GLuint>(location);
        EXPECT_EQ(vertexArrayAttribute(gpu.vertexArray, index, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
        EXPECT_EQ(vertexArrayAttribute(gpu.vertexArray, index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING),
                  static_cast<GLint>(attribute.buffer));
        EXPECT_EQ(vertexArrayAttribute(gpu.vertexArray, index, GL_VERTEX_ATTRIB_ARRAY_SIZE), attribute.components);
    }
    glBindVertexArray(gpu.vertexArray);
    GLint elements = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elements);
    glBindVertexArray(0);
    EXPECT_EQ(elements, static_cast<GLint>(gpu.indexBuffer));

    GLint size = 0;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gpu.indexBuffer);
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    EXPECT_EQ(size, 36 * 4);
}

TEST_F(ModelImportTest, CopiesShareGlObjectsUntilTheLastOneGoes)
{
    writeModel(folder.path(), "cube/cube", cubeObj());
    auto source = load("cube/cube", 1.0f);
    ASSERT_NE(source->model.gpu, nullptr);
    const GLuint vertexArray = source->model.gpu->vertexArray;
    const GLuint positions = source->model.gpu->positionBuffer;
    const GLuint texture = source->model.colorTexture->name;
    {
        SceneObject copy(*source);
        EXPECT_EQ(copy.model.gpu, source->model.gpu);
        EXPECT_EQ(copy.model.colorTexture, source->model.colorTexture);
        EXPECT_EQ(copy.model.normalTexture, source->model.normalTexture);
        EXPECT_EQ(copy.shaderManager, source->shaderManager);
        EXPECT_EQ(copy.model.mesh.positions, source->model.mesh.positions);
        EXPECT_NE(copy.model.mesh.positions.data(), source->model.mesh.positions.data()) << "arrays are copied";
    }
    EXPECT_TRUE(glIsVertexArray(vertexArray)) << "the copy's end must leave the source drawable";
    EXPECT_TRUE(glIsBuffer(positions));
    EXPECT_TRUE(glIsTexture(texture));
    glUseProgram(source->shaderManager->program(ProgramKind::Depth));
    source->draw(RenderPass::Shadow);
    glUseProgram(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    source.reset();
    EXPECT_FALSE(glIsVertexArray(vertexArray));
    EXPECT_FALSE(glIsBuffer(positions));
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(ModelImportTest, DetachedObjectsLoadNothing)
{
    testing::internal::CaptureStdout();
    SceneObject object(glm::vec3(1.0f, 2.0f, 3.0f), "cube/cube", 2.0f, 0.5f, ModelSource::Detached);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "nothing is read, so nothing can be missing";
    EXPECT_EQ(object.model.gpu, nullptr);
    EXPECT_EQ(object.model.colorTexture, nullptr);
    EXPECT_EQ(object.shaderManager, nullptr);
    EXPECT_EQ(object.position, glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(object.uvScale, 2.0f);
    EXPECT_EQ(object.scaleFactor, 0.5f);
    EXPECT_EQ(object.transparency, 1.0f);
    EXPECT_EQ(object.modelMatrix, glm::mat4(1.0f));
    object.draw(RenderPass::Main); // nothing to draw with, and no program to draw it
}
