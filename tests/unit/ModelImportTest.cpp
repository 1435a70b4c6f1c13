#include "TestSupport.h"

#include "assets/Texture.h"
#include "render/RenderPass.h"
#include "render/ShaderManager.h"
#include "scene/SceneObject.h"

#include <cmath>

namespace {

// Models written into a scratch data folder and read from there. The shaders come from the
// run folder, so they are built before moving over.
class ModelImportTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ShaderManager::instance();
        workingDirectory = std::make_unique<WorkingDirectory>(folder.path());
    }
    void TearDown() override
    {
        workingDirectory.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<SceneObject> load(const std::string& name, float uvScale, std::string* printed = nullptr)
    {
        std::unique_ptr<SceneObject> object;
        const std::string output =
            printedBy([&] { object = std::make_unique<SceneObject>(glm::vec3(0.0f), name, uvScale, 1.0f); });
        if (printed)
            *printed = output;
        return object;
    }

    TempFolder folder;
    std::unique_ptr<WorkingDirectory> workingDirectory;
};

glm::vec3 vectorAt(const std::vector<float>& values, size_t vertex)
{
    return glm::vec3(values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]);
}

} // namespace

TEST_F(ModelImportTest, OnlyTheFirstMeshOfAFileIsImported)
{
    writeModel(folder.path(), "pair/pair",
               "o First\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/3/1\n"
               "o Second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\nf 4/1/1 5/2/1 6/3/1\nf 5/2/1 7/3/1 6/1/1\n");
    std::string printed;
    auto object = load("pair/pair", 1.0f, &printed);
    EXPECT_EQ(printed, "");
    ASSERT_NE(object->model.gpu, nullptr);
    EXPECT_EQ(object->model.mesh.indices.size(), 3u);
    ASSERT_EQ(object->model.mesh.positions.size(), 9u);
    for (float value : object->model.mesh.positions)
        EXPECT_LE(std::fabs(value), 1.0f) << "a vertex of the second object came along";
}

TEST_F(ModelImportTest, UvScaleMultipliesTheFlippedUvsAndTangentsFollowThem)
{
    writeModel(folder.path(), "quad/quad", quadObj()); // u runs along +x, v along +y in the file
    auto object = load("quad/quad", 4.0f);
    const Mesh& mesh = object->model.mesh;
    ASSERT_EQ(mesh.indices.size(), 6u) << "one four-cornered face becomes two triangles";
    ASSERT_EQ(mesh.positions.size(), 12u);
    for (size_t i = 0; i < 4; ++i) {
        const glm::vec3 p = vectorAt(mesh.positions, i);
        // The file's uv is ((x + 1) / 2, (y + 1) / 2); the importer flips v, then the scale applies.
        EXPECT_FLOAT_EQ(mesh.uvs[2 * i], 4.0f * (p.x + 1.0f) / 2.0f);
        EXPECT_FLOAT_EQ(mesh.uvs[2 * i + 1], 4.0f * (1.0f - (p.y + 1.0f) / 2.0f));
        EXPECT_GT(glm::normalize(vectorAt(mesh.tangents, i)).x, 0.99f) << "u grows along +x";
        EXPECT_LT(glm::normalize(vectorAt(mesh.bitangents, i)).y, -0.99f) << "the flipped v grows along -y";
    }
}

TEST_F(ModelImportTest, NoUvsOrNormalsGiveZerosAndNoInfiniteTangents)
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
        std::string printed;
        auto object = load(name, 1.0f, &printed);
        const std::string firstLine = printed.substr(0, printed.find('\n'));
        EXPECT_TRUE(!firstLine.empty() && firstLine.find("couldnt load texture") == std::string::npos)
            << "the importer's reason comes first: " << printed;
        EXPECT_NE(printed.find("couldnt load texture: Tindral/3DModels/" + name + "_diff.jpg\n"), std::string::npos);
        EXPECT_NE(printed.find("couldnt load texture: Tindral/3DModels/" + name + "_norm.jpg\n"), std::string::npos);
        EXPECT_EQ(object->model.gpu, nullptr);
        for (int pass = 0; pass <= 5; ++pass)
            object->draw(pass);
    }
}

TEST_F(ModelImportTest, CopySharesTheGlNamesAndItsEndLeavesTheSourceDrawable)
{
    writeModel(folder.path(), "cube/cube", cubeObj());
    auto source = load("cube/cube", 1.0f);
    ASSERT_NE(source->model.gpu, nullptr);
    const GLuint vertexArray = source->model.gpu->vertexArray;
    const GLuint positions = source->model.gpu->positionBuffer;
    const GLuint texture = source->model.colorTexture->name;
    {
        SceneObject copy(*source);
        EXPECT_EQ(copy.model.gpu->vertexArray, vertexArray);
        EXPECT_EQ(copy.model.colorTexture->name, texture);
        EXPECT_EQ(copy.model.normalTexture, source->model.normalTexture);
    }
    EXPECT_TRUE(glIsVertexArray(vertexArray) && glIsBuffer(positions) && glIsTexture(texture));
    glUseProgram(source->shaderManager->program(ProgramKind::Depth));
    source->draw(RenderPass::Shadow);
    glUseProgram(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    source.reset();
    EXPECT_FALSE(glIsVertexArray(vertexArray) || glIsBuffer(positions) || glIsTexture(texture))
        << "the last owner's end releases the GL objects";
}
