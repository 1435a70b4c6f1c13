// The models the renderer draws with, read from a data folder of the test's own, and the lit
// and depth programs drawing them.
#include "GlSupport.h"

#include "gl/RenderTarget.h"
#include "gl/ShaderManager.h"
#include "render/ModelLibrary.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

// The kinds drawn from files of their own (the invisible cubes are drawn from the cubes').
constexpr ModelKind allKinds[] = {ModelKind::Hero,      ModelKind::Flame, ModelKind::Cube,
                                  ModelKind::Propeller, ModelKind::Bar,   ModelKind::GlowQuad};

// Every model of the game written as a cube into a scratch data folder, and read from there.
class ModelLibraryTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        shaders = ShaderManager::instance(); // built from the run folder's shaders
        for (ModelKind kind : allKinds)
            writeModel(folder.path(), modelName(kind), cubeObj());
    }

    // Reads the folder's models, early as the game does or when the library is made;
    // `printed` gets what reading printed.
    std::unique_ptr<ModelLibrary> load(bool early = false)
    {
        WorkingDirectory inFolder(folder.path());
        if (early)
            decodeModelsEarly();
        std::unique_ptr<ModelLibrary> library;
        printed = printedBy([&] { library = std::make_unique<ModelLibrary>(*shaders); });
        return library;
    }

    std::filesystem::path modelFile(ModelKind kind, const std::string& ending) const
    {
        return folder.path() / "Tindral/3DModels" / (modelName(kind) + ending);
    }

    ShaderManager* shaders = nullptr;
    TempFolder folder;
    std::string printed;
};

GLuint trianglesDrawn(const MeshBuffers& mesh)
{
    GLuint query = 0, count = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    mesh.draw();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    return count;
}

} // namespace

TEST_F(ModelLibraryTest, EveryKindIsReadOnceWithItsImagesAndMaterialAndReleasedWithTheLibrary)
{
    auto library = load();
    EXPECT_EQ(printed, "");
    glUseProgram(shaders->program(ProgramKind::Basic));
    for (ModelKind kind : allKinds) {
        SCOPED_TRACE(modelName(kind));
        const DrawnModel& model = (*library)[kind];
        ASSERT_TRUE(model.mesh);
        EXPECT_EQ(trianglesDrawn(*model.mesh), 12u);
        EXPECT_NE(model.colorTexture->name, 0u);
        EXPECT_NE(model.normalTexture->name, 0u);
        EXPECT_EQ(model.low, glm::vec3(-0.5f));
        EXPECT_EQ(model.high, glm::vec3(0.5f));
    }
    glUseProgram(0);
    // What the lit passes draw has a surface of its own; the HUD and the glow's quad have none.
    EXPECT_FLOAT_EQ((*library)[ModelKind::Cube].material->diffuse, 1.5f);
    EXPECT_FLOAT_EQ((*library)[ModelKind::Flame].material->ambient, 0.0f);
    EXPECT_FALSE((*library)[ModelKind::Bar].material);
    EXPECT_FALSE((*library)[ModelKind::GlowQuad].material);
    // The invisible cubes are drawn from the cubes' files, with textures of their own.
    const DrawnModel& invisible = (*library)[ModelKind::InvisibleCube];
    const DrawnModel& cube = (*library)[ModelKind::Cube];
    ASSERT_TRUE(invisible.mesh);
    EXPECT_NE(invisible.colorTexture->name, cube.colorTexture->name);
    EXPECT_NE(invisible.normalTexture->name, cube.normalTexture->name);
    EXPECT_EQ(invisible.colorTexture->width, cube.colorTexture->width);
    EXPECT_FLOAT_EQ(invisible.material->diffuse, 1.5f);

    const GLuint vertexArray = (*library)[ModelKind::Cube].mesh->vertexArray();
    const GLuint texture = (*library)[ModelKind::Cube].colorTexture->name;
    library.reset();
    EXPECT_FALSE(glIsVertexArray(vertexArray) || glIsTexture(texture)) << "the library's end releases its GL objects";
}

TEST_F(ModelLibraryTest, AMissingOrUnreadableModelIsReportedAndDrawsNothing)
{
    std::filesystem::remove(modelFile(ModelKind::Hero, ".obj"));
    std::filesystem::remove(modelFile(ModelKind::Hero, "_diff.jpg"));
    std::filesystem::remove(modelFile(ModelKind::Hero, "_norm.jpg"));
    writeText(modelFile(ModelKind::Propeller, ".obj"), "f 1 2 3\nthis is not a model\n");
    std::filesystem::remove(modelFile(ModelKind::Bar, "_norm.jpg"));
    // The game reads its models on a thread of its own while the window is made; whoever
    // makes a library later reads them there and then. Both say and give the same.
    for (bool early : {true, false}) {
        SCOPED_TRACE(early ? "read early" : "read by the library");
        auto library = load(early);
        EXPECT_EQ(printed, "") << "the game prints the reports where it makes the objects";

        const auto linesFor = [&](ModelKind kind) { return linesOf(reportOf(library->reports(), kind)); };
        // The importer's reason first, then the model's two images.
        const std::vector<std::string> hero = linesFor(ModelKind::Hero);
        ASSERT_EQ(hero.size(), 5u) << reportOf(library->reports(), ModelKind::Hero);
        EXPECT_EQ(hero[0], "Unable to open file \"Tindral/3DModels/hero/hero.obj\".");
        EXPECT_EQ(hero[1], "couldnt load texture: Tindral/3DModels/hero/hero_diff.jpg");
        EXPECT_EQ(hero[3], "couldnt load texture: Tindral/3DModels/hero/hero_norm.jpg");
        const std::vector<std::string> propeller = linesFor(ModelKind::Propeller);
        ASSERT_EQ(propeller.size(), 1u);
        EXPECT_EQ(propeller[0].find("couldnt load texture"), std::string::npos) << "the importer's reason";
        const std::vector<std::string> bar = linesFor(ModelKind::Bar);
        ASSERT_EQ(bar.size(), 2u);
        EXPECT_EQ(bar[0], "couldnt load texture: Tindral/3DModels/bar/bar_norm.jpg");
        for (ModelKind kind : {ModelKind::Flame, ModelKind::Cube, ModelKind::InvisibleCube, ModelKind::GlowQuad})
            EXPECT_EQ(reportOf(library->reports(), kind), "");

        EXPECT_FALSE((*library)[ModelKind::Hero].mesh);
        EXPECT_FALSE((*library)[ModelKind::Propeller].mesh);
        EXPECT_EQ((*library)[ModelKind::Hero].colorTexture->name, 0u);
        ASSERT_TRUE((*library)[ModelKind::Bar].mesh) << "a model without its normal map still draws";
        EXPECT_EQ((*library)[ModelKind::Bar].normalTexture->name, 0u);
        EXPECT_TRUE((*library)[ModelKind::Cube].mesh);
    }

    // The invisible cubes' report is the cubes': they are read from the same files.
    std::filesystem::remove(modelFile(ModelKind::Cube, "_norm.jpg"));
    auto library = load();
    EXPECT_EQ(reportOf(library->reports(), ModelKind::InvisibleCube), reportOf(library->reports(), ModelKind::Cube));
    EXPECT_EQ(linesOf(reportOf(library->reports(), ModelKind::Cube)).at(0),
              "couldnt load texture: Tindral/3DModels/cube/cube_norm.jpg");
}

namespace {

// The lit program end to end: a shadow map from a light, then the scene drawn with it into
// an off-screen target, read back pixel by pixel.
class LitSceneTest : public ModelLibraryTest {
protected:
    static constexpr int width = 160;
    static constexpr int height = 120;

    void SetUp() override
    {
        ModelLibraryTest::SetUp();
        if (HasFatalFailure())
            return;
        library = load();
        ASSERT_TRUE(scene.init(width, height));
        ASSERT_TRUE(shadowMap.init(4 * width, 4 * height));
    }

    // Lights the scene from `light` and draws the cube once per model matrix: into the shadow
    // map from the light, then lit into the scene target.
    Image render(glm::vec3 light, const std::vector<glm::mat4>& placements)
    {
        const DrawnModel& cube = (*library)[ModelKind::Cube];
        const glm::mat4 lightView = glm::lookAt(light, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        const glm::mat4 lightProjection = glm::perspective(glm::radians(160.0f), 4.0f / 3.0f, 0.01f, 10.0f);
        const glm::mat4 bias(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f);
        const auto drawCubes = [&](ProgramKind program) {
            for (const glm::mat4& placement : placements) {
                set(program, "modelMatrix", placement);
                cube.mesh->draw();
            }
        };
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glViewport(0, 0, 4 * width, 4 * height);
        glCullFace(GL_FRONT);
        shadowMap.bindAndClear();
        glUseProgram(shaders->program(ProgramKind::Depth));
        set(ProgramKind::Depth, "viewMatrix", lightProjection * lightView);
        drawCubes(ProgramKind::Depth);

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
        const std::pair<const char*, float> numbers[] = {{"minDistance", 2.0f},        {"maxDistance", 7.0f},
                                                         {"material_ambient", 0.25f},  {"material_diffuse", 1.5f},
                                                         {"material_specular", 0.75f}, {"transparency", 1.0f}};
        for (const auto& [name, value] : numbers)
            glUniform1f(basic(name), value);
        glUniform3fv(basic("camPosition"), 1, glm::value_ptr(eye));
        glUniform3fv(basic("light"), 1, glm::value_ptr(light));
        glUniform3f(basic("lightColor"), 1.0f, 1.0f, 1.0f);
        glUniform1i(basic("border"), height - height / 10);
        const std::pair<const char*, GLuint> textures[] = {{"color_texture", cube.colorTexture->name},
                                                           {"normal_texture", cube.normalTexture->name},
                                                           {"shadow_texture", shadowMap.depthTexture}};
        for (int unit = 0; unit < 3; ++unit) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, textures[unit].second);
            glUniform1i(basic(textures[unit].first), unit);
        }
        drawCubes(ProgramKind::Basic);
        glActiveTexture(GL_TEXTURE0); // the textures' bindings go with them
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        return readImage(scene.framebuffer, width, height);
    }

    int basic(const char* name) const { return shaders->location(ProgramKind::Basic, name); }

    void set(ProgramKind kind, const char* name, const glm::mat4& value) const
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

    std::unique_ptr<ModelLibrary> library;
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
    const Image far = render(glm::vec3(0.0f, 0.0f, 12.0f), {glm::mat4(1.0f)});
    EXPECT_LT(brightnessAt(far, glm::vec3(0.0f, 0.0f, 0.5f)), 12) << "beyond the light's reach the world is dark";

    // A block between the light and a floor casts its shadow there.
    eye = glm::vec3(0.0f, 3.0f, 4.0f);
    view = glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::mat4 floor =
        glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -0.1f, 0.0f)), glm::vec3(6.0f, 0.2f, 6.0f));
    const glm::mat4 block = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 1.0f, 0.0f)), glm::vec3(0.5f));
    const glm::vec3 light(0.1f, 2.5f, 0.1f);
    const int openFloor = brightnessAt(render(light, {floor}), glm::vec3(0.0f));
    const Image shadowed = render(light, {floor, block});
    EXPECT_GT(openFloor, 70);
    EXPECT_LT(brightnessAt(shadowed, glm::vec3(0.0f)), 0.4f * openFloor) << "the floor under the block is in shadow";
    EXPECT_GT(brightnessAt(shadowed, glm::vec3(1.0f, 0.0f, 0.3f)), 2 * brightnessAt(shadowed, glm::vec3(0.0f)))
        << "the floor beside the shadow stays lit";
}
