#include "GlSupport.h"

#include "assets/Texture.h"
#include "render/gl/RenderPass.h"
#include "render/gl/RenderTarget.h"
#include "render/gl/ShaderManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/PlaneAndPropeller.h"
#include "scene/SceneObject.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

// Models written into a scratch data folder and loaded from there, as the game loads its own.
class ModelTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        shaders = ShaderManager::instance(); // built from the run folder's shaders
    }
    void TearDown() override
    {
        glUseProgram(0);
        GlTest::TearDown();
    }

    // Writes the model (unless obj is empty) and loads it; `printed` gets what loading printed.
    std::unique_ptr<SceneObject> load(const std::string& name, const std::string& obj, float uvScale = 1.0f,
                                      std::string* printed = nullptr)
    {
        if (!obj.empty())
            writeModel(folder.path(), name, obj);
        WorkingDirectory inFolder(folder.path());
        std::unique_ptr<SceneObject> object;
        const std::string output =
            printedBy([&] { object = std::make_unique<SceneObject>(glm::vec3(0.0f), name, uvScale, 1.0f); });
        if (printed)
            *printed = output;
        return object;
    }

    int basic(const char* name) const { return shaders->location(ProgramKind::Basic, name); }

    ShaderManager* shaders = nullptr;
    TempFolder folder;
};

glm::vec3 vectorAt(const std::vector<float>& values, size_t vertex)
{
    return glm::vec3(values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]);
}

} // namespace

TEST_F(ModelTest, OnlyTheFirstMeshOfAFileIsImported)
{
    std::string printed;
    auto object = load("pair/pair",
                       "o First\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/3/1\n"
                       "o Second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\nf 4/1/1 5/2/1 6/3/1\nf 5/2/1 7/3/1 6/1/1\n",
                       1.0f, &printed);
    EXPECT_EQ(printed, "");
    ASSERT_NE(object->model.gpu, nullptr);
    EXPECT_EQ(object->model.mesh->indices.size(), 3u);
    ASSERT_EQ(object->model.mesh->positions.size(), 9u);
    for (float value : object->model.mesh->positions)
        EXPECT_LE(std::fabs(value), 1.0f) << "a vertex of the second object came along";
}

TEST_F(ModelTest, UvScaleMultipliesTheFlippedUvsAndTangentsFollowThem)
{
    auto object = load("quad/quad", quadObj(), 4.0f); // u runs along +x, v along +y in the file
    const Mesh& mesh = *object->model.mesh;
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

TEST_F(ModelTest, NoUvsOrNormalsGiveZerosAndNoInfiniteTangents)
{
    auto object = load("bare/bare", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", 2.0f);
    const Mesh& mesh = *object->model.mesh;
    ASSERT_EQ(mesh.positions.size(), 9u);
    EXPECT_EQ(mesh.uvs, std::vector<float>(6, 0.0f));
    EXPECT_EQ(mesh.normals, std::vector<float>(9, 0.0f));
    EXPECT_EQ(mesh.tangents, std::vector<float>(9, 0.0f)) << "a window without uv area adds nothing";
    EXPECT_EQ(mesh.bitangents, std::vector<float>(9, 0.0f));

    // Found by fuzzing: uvs that span a tiny area give directions beyond a float's range.
    auto tiny = load("tiny/tiny", "v 0 0 0\nv 100 0 0\nv 0 100 0\nvt 0 0\nvt 1e-38 0\nvt 0 0.5\nf 1/1 2/2 3/3\n");
    EXPECT_EQ(tiny->model.mesh->tangents, std::vector<float>(9, 0.0f)) << "a window with almost no uv area adds nothing";
    EXPECT_EQ(tiny->model.mesh->bitangents, std::vector<float>(9, 0.0f));
}

TEST_F(ModelTest, MissingOrUnreadableModelIsReportedAndDrawsNothing)
{
    writeText(folder.path() / "Tindral/3DModels/broken/broken.obj", "f 1 2 3\nthis is not a model\n");
    for (const std::string name : {"absent/absent", "broken/broken"}) {
        SCOPED_TRACE(name);
        std::string printed;
        auto object = load(name, "", 1.0f, &printed);
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

TEST_F(ModelTest, CopySharesTheGlNamesAndItsEndLeavesTheSourceDrawable)
{
    auto source = load("cube/cube", cubeObj());
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

namespace {

// The cube drawn with the lit program current.
class MeshDrawTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        cube = load("cube/cube", cubeObj());
        ASSERT_NE(cube->model.gpu, nullptr);
        cube->model.material = std::make_shared<Material>(Material{0.25f, 1.5f, 0.75f});
        glUseProgram(shaders->program(ProgramKind::Basic));
    }

    float basicFloat(const char* name) const
    {
        float value = -1.0f;
        glGetUniformfv(shaders->program(ProgramKind::Basic), basic(name), &value);
        return value;
    }

    GLint textureOnUnit(GLenum unit) const
    {
        glActiveTexture(unit);
        return glInteger(GL_TEXTURE_BINDING_2D);
    }

    GLuint trianglesDrawn(int pass)
    {
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        cube->draw(pass);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    }

    std::unique_ptr<SceneObject> cube;
};

} // namespace

TEST_F(MeshDrawTest, LitPassesBindTheSurfaceAndOnlyTheMainPassMakesItOpaque)
{
    glUniform1f(basic("transparency"), 0.25f);
    EXPECT_EQ(trianglesDrawn(RenderPass::Transparent), 12u);
    EXPECT_FLOAT_EQ(basicFloat("transparency"), 0.25f) << "the invisible cube's own opacity stays";
    EXPECT_FLOAT_EQ(basicFloat("material_ambient"), 0.25f);
    EXPECT_FLOAT_EQ(basicFloat("material_diffuse"), 1.5f);
    EXPECT_FLOAT_EQ(basicFloat("material_specular"), 0.75f);

    EXPECT_EQ(trianglesDrawn(RenderPass::Main), 12u);
    EXPECT_FLOAT_EQ(basicFloat("transparency"), 1.0f);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE0), static_cast<GLint>(cube->model.colorTexture->name));
    EXPECT_EQ(textureOnUnit(GL_TEXTURE1), static_cast<GLint>(cube->model.normalTexture->name));
    GLint colourUnit = -1, normalUnit = -1;
    glGetUniformiv(shaders->program(ProgramKind::Basic), basic("color_texture"), &colourUnit);
    glGetUniformiv(shaders->program(ProgramKind::Basic), basic("normal_texture"), &normalUnit);
    EXPECT_EQ(colourUnit, 0);
    EXPECT_EQ(normalUnit, 1);
}

TEST_F(MeshDrawTest, MissingNormalMapBindsNothingAndStillDraws)
{
    cube->model.normalTexture.reset();
    EXPECT_EQ(trianglesDrawn(RenderPass::Main), 12u);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE1), 0);
}

namespace {

// The lit program end to end: a shadow map from a light, then the scene drawn with it into
// an off-screen target, read back pixel by pixel.
class LitSceneTest : public MeshDrawTest {
protected:
    static constexpr int width = 160;
    static constexpr int height = 120;

    void SetUp() override
    {
        MeshDrawTest::SetUp();
        ASSERT_TRUE(scene.init(width, height));
        ASSERT_TRUE(shadowMap.init(4 * width, 4 * height));
    }

    // Lights the scene from `light` and draws the cube once per model matrix.
    Image render(glm::vec3 light, const std::vector<glm::mat4>& placements)
    {
        const glm::mat4 lightView = glm::lookAt(light, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        const glm::mat4 lightProjection = glm::perspective(glm::radians(160.0f), 4.0f / 3.0f, 0.01f, 10.0f);
        const glm::mat4 bias(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);

        glViewport(0, 0, 4 * width, 4 * height);
        glCullFace(GL_FRONT);
        glClearColor(1, 1, 1, 1);
        shadowMap.bindAndClear();
        glUseProgram(shaders->program(ProgramKind::Depth));
        set(ProgramKind::Depth, "viewMatrix", lightProjection * lightView);
        for (const glm::mat4& placement : placements) {
            set(ProgramKind::Depth, "modelMatrix", placement);
            cube->draw(RenderPass::Shadow);
        }

        glViewport(0, 0, width, height);
        glCullFace(GL_BACK);
        glClearColor(0, 0, 0, 1);
        scene.bindAndClear();
        glUseProgram(shaders->program(ProgramKind::Basic));
        set(ProgramKind::Basic, "projectionMatrix", projection);
        set(ProgramKind::Basic, "viewMatrix", view);
        set(ProgramKind::Basic, "biasMat", bias);
        set(ProgramKind::Basic, "depthProjMat", lightProjection);
        set(ProgramKind::Basic, "depthViewMat", lightView);
        set(ProgramKind::Basic, "depthMVP", bias * lightProjection * lightView);
        glUniform3fv(basic("camPosition"), 1, glm::value_ptr(eye));
        glUniform3fv(basic("light"), 1, glm::value_ptr(light));
        glUniform3f(basic("lightColor"), 1.0f, 1.0f, 1.0f);
        glUniform1f(basic("minDistance"), 2.0f);
        glUniform1f(basic("maxDistance"), 7.0f);
        glUniform1i(basic("border"), height - height / 10);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, shadowMap.depthTexture);
        glUniform1i(basic("shadow_texture"), 2);
        for (const glm::mat4& placement : placements) {
            set(ProgramKind::Basic, "modelMatrix", placement);
            cube->draw(RenderPass::Main);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        return readImage(scene.framebuffer, width, height);
    }

    void set(int kind, const char* name, const glm::mat4& value) const
    {
        glUniformMatrix4fv(shaders->location(kind, name), 1, GL_FALSE, glm::value_ptr(value));
    }

    // Brightness (0..255) where a world point lands in the image.
    int brightnessAt(const Image& image, glm::vec3 world) const
    {
        const glm::vec4 clip = projection * view * glm::vec4(world, 1.0f);
        const int x = static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * width);
        const int y = static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * height);
        EXPECT_TRUE(x >= 0 && x < width && y >= 0 && y < height) << "point off screen";
        return image.brightness(x, y);
    }

    RenderTarget scene;
    RenderTarget shadowMap;
    glm::vec3 eye{0.0f, 1.5f, 3.0f};
    glm::mat4 view = glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    glm::mat4 projection = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.01f, 30.0f);
};

} // namespace

TEST_F(LitSceneTest, TheFaceTurnedToANearLightIsLitAndWhatTheLightCannotSeeStaysDark)
{
    const Image near = render(glm::vec3(0.0f, 0.0f, 1.5f), {glm::mat4(1.0f)});
    const int front = brightnessAt(near, glm::vec3(0.0f, 0.0f, 0.5f));
    EXPECT_GT(front, 100) << "facing the light from one unit away";
    EXPECT_LT(brightnessAt(near, glm::vec3(0.0f, 0.5f, -0.1f)), 0.35f * front) << "turned away from the light";
    EXPECT_GT(near.litCount(), width * height / 20);
    EXPECT_EQ(brightnessAt(near, glm::vec3(1.6f, 1.0f, 0.0f)), 0) << "background keeps the clear colour";
    const Image far = render(glm::vec3(0.0f, 0.0f, 12.0f), {glm::mat4(1.0f)});
    EXPECT_LT(brightnessAt(far, glm::vec3(0.0f, 0.0f, 0.5f)), 12) << "beyond the light's reach the world is dark";

    // A block between the light and a floor casts its shadow there.
    eye = glm::vec3(0.0f, 3.0f, 4.0f);
    view = glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::mat4 floor = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -0.1f, 0.0f)),
                                       glm::vec3(6.0f, 0.2f, 6.0f));
    const glm::mat4 block = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 1.0f, 0.0f)), glm::vec3(0.5f));
    const glm::vec3 light(0.1f, 2.5f, 0.1f);
    const int openFloor = brightnessAt(render(light, {floor}), glm::vec3(0.0f));
    const Image shadowed = render(light, {floor, block});
    EXPECT_GT(openFloor, 80);
    EXPECT_LT(brightnessAt(shadowed, glm::vec3(0.0f)), 0.4f * openFloor) << "the floor under the block is in shadow";
    EXPECT_GT(brightnessAt(shadowed, glm::vec3(1.0f, 0.0f, 0.3f)), 2 * brightnessAt(shadowed, glm::vec3(0.0f)))
        << "the floor beside the shadow stays lit";
}

// A model is read once while anything uses it: later objects of the same name share it. One
// that failed in any part is read again, and says so again.
TEST_F(ModelTest, AWholeModelIsReadOnceWhileInUseAndAFailedOneEveryTime)
{
    auto first = load("cube/cube", cubeObj());
    std::string printed = "(not loaded)";
    auto second = load("cube/cube", "", 1.0f, &printed);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(second->model.gpu, first->model.gpu);
    EXPECT_EQ(second->model.colorTexture, first->model.colorTexture);
    EXPECT_EQ(second->model.mesh, first->model.mesh);
    EXPECT_NE(load("cube/cube", "", 2.0f)->model.gpu, first->model.gpu) << "another uv scale is another model";

    const GLuint vertexArray = first->model.gpu->vertexArray;
    first.reset();
    second.reset();
    EXPECT_FALSE(glIsVertexArray(vertexArray)) << "nothing is kept once no object uses it";

    writeModel(folder.path(), "half/half", cubeObj());
    std::filesystem::remove(folder.path() / "Tindral/3DModels/half/half_norm.jpg");
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto half = load("half/half", "", 1.0f, &printed);
        EXPECT_EQ(printed, "couldnt load texture: Tindral/3DModels/half/half_norm.jpg\n1290\n") << attempt;
        EXPECT_NE(half->model.gpu, nullptr) << "the mesh itself still draws";
    }
}

using LevelModelsTest = GlGameTest;

// Every cube, hero, flame and propeller of a level draws with its prototype's GL objects, and
// a rebuilt level's plane and bars share those of the level before.
TEST_F(LevelModelsTest, CopiesAndRebuildsShareTheModelsTheGameLoaded)
{
    buildLevel("1x1x1x1x1x\n1x2S1x121x\n1x1x1x1Z1x\n");
    ASSERT_NE(game->prototypes[2]->model.gpu, nullptr);
    EXPECT_EQ(game->cubes[0]->model.gpu, game->prototypes[2]->model.gpu);
    EXPECT_EQ(game->invisCubes[0]->model.gpu, game->prototypes[3]->model.gpu);
    EXPECT_EQ(game->hero->model.gpu, game->prototypes[0]->model.gpu);
    EXPECT_EQ(game->flame->model.colorTexture, game->prototypes[1]->model.colorTexture);
    ASSERT_TRUE(game->finishCube);
    EXPECT_NE(game->finishCube->model.gpu, nullptr);
    EXPECT_NE(game->finishCube->model.material, game->prototypes[2]->model.material) << "a material of its own";

    const auto plane = game->plane->model.gpu, bar = game->nearBar->model.gpu;
    buildLevel("1x1x1x1x1x\n1x2S1x121x\n1x1x1x1Z1x\n");
    EXPECT_EQ(game->plane->model.gpu, plane);
    EXPECT_EQ(game->farBar->model.gpu, bar);
    EXPECT_EQ(game->lifeBars[0]->model.gpu, bar);
}
