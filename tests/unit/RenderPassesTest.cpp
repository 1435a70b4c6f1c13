#include "GlContext.h"
#include "TestSupport.h"

#include "app/DebugSwitches.h"
#include "app/Window.h"
#include "game/Game.h"
#include "render/RenderPass.h"
#include "render/RenderTarget.h"
#include "render/ShaderManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/Hero.h"
#include "scene/PlaneAndPropeller.h"

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <string>
#include <vector>

namespace {

// One game for the whole test program, drawing in the test context (the game's own window
// only receives the key callback).
Game& passesTestGame()
{
    static Game* game = [] {
        auto* window = new Window(800, 600, 0, false);
        glfwMakeContextCurrent(testGlWindow());
        testing::internal::CaptureStdout();
        auto* built = new Game(800, 600, *window);
        testing::internal::GetCapturedStdout();
        return built;
    }();
    return *game;
}

// What a stand-in object saw when the pass asked it to draw.
struct DrawCall {
    std::string who;
    int pass;
    GLint program;
    GLint framebuffer;
    GLint textureOnUnit0;
    bool culling;
    bool useTransparency;
};

std::vector<DrawCall> drawCalls;

GLint currentInteger(GLenum what)
{
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

void recordDraw(const std::string& who, int pass, bool useTransparency = false)
{
    GLint active = currentInteger(GL_ACTIVE_TEXTURE);
    glActiveTexture(GL_TEXTURE0);
    const GLint texture = currentInteger(GL_TEXTURE_BINDING_2D);
    glActiveTexture(static_cast<GLenum>(active));
    drawCalls.push_back({who, pass, currentInteger(GL_CURRENT_PROGRAM), currentInteger(GL_DRAW_FRAMEBUFFER_BINDING),
                         texture, glIsEnabled(GL_CULL_FACE) == GL_TRUE, useTransparency});
}

// Stand-ins for the level's objects: they draw nothing and note every call.
struct RecordingHero : Hero {
    RecordingHero(glm::vec3 p) : Hero(p, ModelSource::Detached) {}
    void draw(int pass) override { recordDraw("hero", pass); }
};
struct RecordingCube : Cube {
    RecordingCube(glm::vec3 p, std::string name) : Cube(p, ModelSource::Detached), name(std::move(name)) {}
    void draw(int pass) override { recordDraw(name, pass); }
    std::string name;
};
struct RecordingInvisCube : CubeInvis {
    RecordingInvisCube(glm::vec3 p, std::string name)
        : CubeInvis(Cube(p, ModelSource::Detached)), name(std::move(name)) {}
    void draw(int pass) override { recordDraw(name + " (plain draw)", pass); }
    void drawTransparent(int pass, bool useTransparency) override { recordDraw(name, pass, useTransparency); }
    std::string name;
};
struct RecordingFlame : Flame {
    RecordingFlame(glm::vec3 p) : Flame(p, ModelSource::Detached) {}
    void draw(int pass) override { recordDraw("flame", pass); }
};
struct RecordingPropeller : Propeller {
    RecordingPropeller() : Propeller(glm::vec3(0.0f), ModelSource::Detached) {}
    void draw(int pass) override { recordDraw("propeller", pass); }
};
struct RecordingPlane : Plane {
    RecordingPlane() : Plane(glm::vec3(0.0f), ModelSource::Detached) {}
    void draw(int pass) override { recordDraw("plane", pass); }
};
struct RecordingBar : Bar {
    RecordingBar(std::string name) : Bar(glm::vec3(0.0f), glm::vec3(1.0f), ModelSource::Detached), name(std::move(name)) {}
    void draw(int pass) override { recordDraw(name, pass); }
    std::string name;
};

glm::mat4 uniformMatrix(int kind, const char* name)
{
    const ShaderManager& shaders = *ShaderManager::instance();
    glm::mat4 value(0.0f);
    glGetUniformfv(shaders.program(kind), shaders.location(kind, name), glm::value_ptr(value));
    return value;
}

glm::vec3 uniformVector(int kind, const char* name)
{
    const ShaderManager& shaders = *ShaderManager::instance();
    glm::vec3 value(0.0f);
    glGetUniformfv(shaders.program(kind), shaders.location(kind, name), glm::value_ptr(value));
    return value;
}

float uniformFloat(int kind, const char* name)
{
    const ShaderManager& shaders = *ShaderManager::instance();
    float value = 0.0f;
    glGetUniformfv(shaders.program(kind), shaders.location(kind, name), &value);
    return value;
}

GLint uniformInt(int kind, const char* name)
{
    const ShaderManager& shaders = *ShaderManager::instance();
    GLint value = 0;
    glGetUniformiv(shaders.program(kind), shaders.location(kind, name), &value);
    return value;
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-4f * std::max(1.0f, std::fabs(expected[c][r])))
                << "element [" << c << "][" << r << "]";
}

class RenderPassesTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        savedSwitches = debugSwitches();
        Game& g = game();
        g.hero = std::make_unique<RecordingHero>(glm::vec3(2.0f, 1.0f, -5.0f));
        g.hero->lives = 3;
        g.flame = std::make_unique<RecordingFlame>(glm::vec3(2.0f, 1.05f, 0.0f));
        g.propeller = std::make_unique<RecordingPropeller>();
        g.plane = std::make_unique<RecordingPlane>();
        g.farBar = std::make_unique<RecordingBar>("far bar");
        g.nearBar = std::make_unique<RecordingBar>("near bar");
        g.lifeBars.clear();
        for (int i = 0; i < 6; ++i)
            g.lifeBars.push_back(std::make_unique<RecordingBar>("life " + std::to_string(i)));

        // The flame is at z = 0: only cubes strictly between z = -8 and z = 2 are in reach.
        g.cubes.clear();
        for (float z : {-8.0f, -7.9f, 1.99f, 2.0f, -3.0f, 0.0f})
            g.cubes.push_back(std::make_unique<RecordingCube>(glm::vec3(1.0f, 1.0f, z), "cube " + std::to_string(z)));
        g.cubes[4]->broken = true;
        g.invisCubes.clear();
        for (float z : {-8.0f, -1.0f, -2.0f, 1.5f})
            g.invisCubes.push_back(
                std::make_unique<RecordingInvisCube>(glm::vec3(3.0f, 1.0f, z), "invis " + std::to_string(z)));
        g.invisCubes[2]->broken = true;
        g.paused = false;
        *g.camera = Camera();
        drawCalls.clear();
    }
    void TearDown() override
    {
        debugSwitches() = savedSwitches;
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 800, 600);
        GlTest::TearDown();
    }

    static Game& game() { return passesTestGame(); }

    std::vector<std::string> drawnIn(int pass)
    {
        drawCalls.clear();
        game().render(pass);
        EXPECT_EQ(currentInteger(GL_DRAW_FRAMEBUFFER_BINDING), 0) << "every pass ends on the window";
        std::vector<std::string> names;
        for (const DrawCall& call : drawCalls) {
            EXPECT_EQ(call.pass, pass) << call.who;
            names.push_back(call.who);
        }
        return names;
    }

    DebugSwitches savedSwitches;
};

std::vector<std::string> withBars(std::vector<std::string> names, int lifeBars)
{
    names.push_back("far bar");
    names.push_back("near bar");
    for (int i = 0; i < lifeBars; ++i)
        names.push_back("life " + std::to_string(i));
    return names;
}

} // namespace

TEST_F(RenderPassesTest, EachPassWalksTheLevelInOrderWithinTheFlamesReach)
{
    const std::vector<std::string> level = {"hero", "cube " + std::to_string(-7.9f), "cube " + std::to_string(1.99f),
                                            "cube " + std::to_string(0.0f), "flame", "propeller", "plane"};
    for (int pass : {int(RenderPass::Shadow), int(RenderPass::FlameGlow), int(RenderPass::Main), int(RenderPass::Hud)}) {
        SCOPED_TRACE(pass);
        EXPECT_EQ(drawnIn(pass), withBars(level, 3));
        EXPECT_EQ(game().objectsDrawn, 7) << "bars are not counted";
    }

    std::vector<std::string> glow = {"plane", "plane"}; // the two blur steps
    glow.insert(glow.end(), level.begin(), level.end());
    EXPECT_EQ(drawnIn(RenderPass::Glow), withBars(glow, 3));
    EXPECT_EQ(game().objectsDrawn, 7) << "the blur steps are not counted";

    EXPECT_EQ(drawnIn(RenderPass::Transparent),
              withBars({"invis " + std::to_string(-1.0f), "invis " + std::to_string(1.5f)}, 3));
    EXPECT_EQ(game().objectsDrawn, 2);
    for (const DrawCall& call : drawCalls) {
        if (call.who.rfind("invis", 0) == 0) {
            EXPECT_TRUE(call.useTransparency) << "the fading is shown while the switch is on";
        }
    }
}

TEST_F(RenderPassesTest, SwitchesAndLivesChangeWhatIsDrawn)
{
    debugSwitches().viewFrustumCulling = false;
    debugSwitches().invisTransparency = false;
    game().hero->lives = 9;
    EXPECT_EQ(drawnIn(RenderPass::Main),
              withBars({"hero", "cube " + std::to_string(-8.0f), "cube " + std::to_string(-7.9f),
                        "cube " + std::to_string(1.99f), "cube " + std::to_string(2.0f), "cube " + std::to_string(0.0f),
                        "flame", "propeller", "plane"},
                       6));
    EXPECT_EQ(game().objectsDrawn, 9) << "only the broken cube is left out";

    game().hero->lives = 0;
    EXPECT_EQ(drawnIn(RenderPass::Transparent),
              withBars({"invis " + std::to_string(-8.0f), "invis " + std::to_string(-1.0f),
                        "invis " + std::to_string(1.5f)},
                       0));
    EXPECT_EQ(game().objectsDrawn, 3);
    for (const DrawCall& call : drawCalls)
        EXPECT_FALSE(call.useTransparency) << call.who;
}

TEST_F(RenderPassesTest, EachPassDrawsWithItsProgramIntoItsTarget)
{
    Game& g = game();
    const ShaderManager& shaders = *ShaderManager::instance();
    const struct {
        int pass;
        int kind;
        GLint framebuffer;
    } expected[] = {
        {RenderPass::Shadow, ProgramKind::Depth, static_cast<GLint>(g.shadowTarget->framebuffer)},
        {RenderPass::Main, ProgramKind::Basic, 0},
        {RenderPass::Transparent, ProgramKind::Basic, 0},
        {RenderPass::FlameGlow, ProgramKind::Flame, static_cast<GLint>(g.glowTargets[0]->framebuffer)},
        {RenderPass::Hud, ProgramKind::Hud, 0},
    };
    glEnable(GL_CULL_FACE);
    for (const auto& e : expected) {
        SCOPED_TRACE(e.pass);
        drawnIn(e.pass);
        ASSERT_FALSE(drawCalls.empty());
        for (const DrawCall& call : drawCalls) {
            EXPECT_EQ(call.program, static_cast<GLint>(shaders.program(e.kind))) << call.who;
            EXPECT_EQ(call.framebuffer, e.framebuffer) << call.who;
            EXPECT_EQ(call.culling, e.pass != RenderPass::Hud) << "flat HUD quads are never culled";
        }
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is back on after the HUD";

    // Glow: blur across into target 1, down into target 2, then lay target 2 over the window.
    drawnIn(RenderPass::Glow);
    std::vector<DrawCall> quads;
    for (const DrawCall& call : drawCalls)
        if (call.who == "plane")
            quads.push_back(call);
    ASSERT_EQ(quads.size(), 3u);
    const GLint sources[] = {static_cast<GLint>(g.glowTargets[0]->colorTexture),
                             static_cast<GLint>(g.glowTargets[1]->colorTexture),
                             static_cast<GLint>(g.glowTargets[2]->colorTexture)};
    const GLint targets[] = {static_cast<GLint>(g.glowTargets[1]->framebuffer),
                             static_cast<GLint>(g.glowTargets[2]->framebuffer), 0};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(quads[i].program, static_cast<GLint>(shaders.program(ProgramKind::Glow)));
        EXPECT_EQ(quads[i].textureOnUnit0, sources[i]) << "step " << i + 1;
        EXPECT_EQ(quads[i].framebuffer, targets[i]) << "step " << i + 1;
        EXPECT_FALSE(quads[i].culling);
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    EXPECT_EQ(uniformInt(ProgramKind::Glow, "pass"), 3);
    EXPECT_EQ(uniformInt(ProgramKind::Glow, "glowTexture"), 0);
    EXPECT_EQ(uniformInt(ProgramKind::Glow, "border"), 540);
    EXPECT_FLOAT_EQ(uniformFloat(ProgramKind::Glow, "windowWidth"), 200.0f);
    EXPECT_FLOAT_EQ(uniformFloat(ProgramKind::Glow, "windowHeight"), 150.0f);
}

TEST_F(RenderPassesTest, ShadowAndLitPassesShareTheLightsView)
{
    Game& g = game();
    const glm::vec3 flame = g.flame->position;
    const glm::vec3 hero = g.hero->position;
    const glm::mat4 view = glm::lookAt(flame, hero, glm::vec3(0.0f, 1.0f, 0.0f));
    g.render(RenderPass::Shadow);

    // The depth program's "viewMatrix" is P * V: P follows from it and the light's view.
    const glm::mat4 projection = uniformMatrix(ProgramKind::Depth, "viewMatrix") * glm::inverse(view);
    EXPECT_NEAR(projection[1][1], 1.0f / std::tan(glm::radians(80.0f)), 1e-4f) << "a 160 degree field of view";
    EXPECT_NEAR(projection[0][0], projection[1][1] / (800.0f / 600.0f), 1e-4f);
    EXPECT_NEAR(projection[2][2], -1.0020020008087158f, 1e-4f);
    EXPECT_NEAR(projection[3][2], -0.0200200192630291f, 1e-4f);
    EXPECT_NEAR(projection[2][3], -1.0f, 1e-4f);
    EXPECT_EQ(uniformVector(ProgramKind::Depth, "camPosition"), flame);

    Camera camera = *g.camera;
    const glm::mat4 chaseView = camera.computeView(hero, flame);
    g.render(RenderPass::Main);
    const glm::mat4 bias(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f);
    expectMatrixNear(uniformMatrix(ProgramKind::Basic, "depthMVP"), bias * projection * view);
    expectMatrixNear(uniformMatrix(ProgramKind::Basic, "projectionMatrix"), g.projectionMatrix);
    expectMatrixNear(uniformMatrix(ProgramKind::Basic, "viewMatrix"), chaseView);
    EXPECT_EQ(uniformVector(ProgramKind::Basic, "camPosition"), g.camera->eye);
    EXPECT_EQ(uniformInt(ProgramKind::Basic, "border"), 540);
    EXPECT_EQ(uniformInt(ProgramKind::Basic, "shadow_texture"), 2);
    glActiveTexture(GL_TEXTURE2);
    EXPECT_EQ(currentInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(g.shadowTarget->depthTexture));
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);

    g.render(RenderPass::FlameGlow);
    expectMatrixNear(uniformMatrix(ProgramKind::Flame, "projectionMatrix"), g.projectionMatrix);
    expectMatrixNear(uniformMatrix(ProgramKind::Flame, "viewMatrix"), chaseView);

    // Paused: the hand-steered light point replaces the flame, and a frozen camera keeps its eye.
    g.paused = true;
    g.flame->lightPosition = glm::vec3(0.5f, 3.0f, -1.0f);
    g.camera->frozen = true;
    g.camera->savedEye = glm::vec3(7.0f, 8.0f, 9.0f);
    g.render(RenderPass::Shadow);
    EXPECT_EQ(uniformVector(ProgramKind::Depth, "camPosition"), g.flame->lightPosition);
    g.render(RenderPass::Transparent);
    const glm::mat4 steeredView = glm::lookAt(g.flame->lightPosition, hero, glm::vec3(0.0f, 1.0f, 0.0f));
    expectMatrixNear(uniformMatrix(ProgramKind::Basic, "depthMVP"), bias * projection * steeredView);
    EXPECT_EQ(uniformVector(ProgramKind::Basic, "camPosition"), glm::vec3(7.0f, 8.0f, 9.0f));
}

TEST_F(RenderPassesTest, LightStraightAboveTheHeroStillGivesAUsableView)
{
    Game& g = game();
    g.flame->position = g.hero->position + glm::vec3(0.0f, 1.0f, 0.0f);
    g.render(RenderPass::Shadow);
    const glm::mat4 view = uniformMatrix(ProgramKind::Depth, "viewMatrix");
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            ASSERT_TRUE(std::isfinite(view[c][r]));
    // The hero, straight below, lands in the middle of the shadow map.
    const glm::vec4 clip = view * glm::vec4(g.hero->position, 1.0f);
    EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-4f);
    EXPECT_NEAR(clip.y / clip.w, 0.0f, 1e-4f);
}

TEST_F(RenderPassesTest, NoLevelYetDrawsNothing)
{
    Game& g = game();
    std::unique_ptr<Hero> hero = std::move(g.hero);
    for (int pass = 0; pass <= 5; ++pass) {
        g.render(pass);
        EXPECT_EQ(g.objectsDrawn, 0);
    }
    EXPECT_TRUE(drawCalls.empty());
    g.hero = std::move(hero);
}

namespace {

// Stand-ins that draw real meshes the way the game's flame, screen quad and bars do.
struct GlowingFlame : Flame {
    explicit GlowingFlame(glm::vec3 p) : Flame(p) {}
    void draw(int pass) override
    {
        if (pass != RenderPass::FlameGlow)
            return;
        uploadModelMatrix(ProgramKind::Flame);
        glUniform3f(shaderManager->location(ProgramKind::Flame, "lightColor"), 1.0f, 1.0f, 1.0f);
        SceneObject::draw(pass);
    }
};
struct ScreenQuad : Plane {
    ScreenQuad() : Plane(glm::vec3(0.0f)) {}
    void draw(int pass) override
    {
        if (pass != RenderPass::Glow)
            return;
        uploadModelMatrix(ProgramKind::Glow);
        SceneObject::draw(pass);
    }
};
struct HudBar : Bar {
    HudBar() : Bar(glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f)) {}
    void draw(int pass) override
    {
        if (pass != RenderPass::Hud)
            return;
        uploadModelMatrix(ProgramKind::Hud);
        glUniform3fv(shaderManager->location(ProgramKind::Hud, "colorFinal"), 1, glm::value_ptr(color));
        glUniform3fv(shaderManager->location(ProgramKind::Hud, "colorNeutral"), 1, glm::value_ptr(color));
        SceneObject::draw(pass);
    }
};

class GlowPipelineTest : public RenderPassesTest {
protected:
    void SetUp() override
    {
        RenderPassesTest::SetUp();
        if (HasFatalFailure())
            return;
        writeModel(folder.path(), "flame/flame", cubeObj());
        writeModel(folder.path(), "plane/plane", quadObj());
        writeModel(folder.path(), "bar/bar", quadObj());
        Game& g = game();
        {
            WorkingDirectory inFolder(folder.path());
            testing::internal::CaptureStdout();
            g.flame = std::make_unique<GlowingFlame>(glm::vec3(0.0f, 0.0f, -3.0f));
            g.plane = std::make_unique<ScreenQuad>();
            g.farBar = std::make_unique<HudBar>();
            testing::internal::GetCapturedStdout();
        }
        ASSERT_NE(g.flame->model.gpu, nullptr);
        ASSERT_NE(g.plane->model.gpu, nullptr);
        g.flame->modelMatrix = glm::scale(glm::translate(glm::mat4(1.0f), g.flame->position), glm::vec3(0.6f));
        g.hero->position = glm::vec3(0.0f, 0.0f, -6.0f);
        g.hero->lives = 0;
        g.nearBar.reset();
        g.cubes.clear();
        g.invisCubes.clear();
        // A camera parked in front of the flame, so it is in view however the chase camera aims.
        g.camera->frozen = true;
        g.camera->savedEye = glm::vec3(0.0f, 0.5f, 2.0f);

        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 800, 600);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override
    {
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        RenderPassesTest::TearDown();
    }

    // The flame glow and glow passes as the frame loop runs them.
    void renderGlow()
    {
        glViewport(0, 0, 200, 150);
        glClearColor(0, 0, 0, 0);
        game().render(RenderPass::FlameGlow);
        glClearColor(0, 0, 0, 0);
        game().render(RenderPass::Glow);
    }

    TempFolder folder;
};

} // namespace

TEST_F(GlowPipelineTest, TheFlameIsBlurredAtQuarterSizeAndLaidOverTheFrame)
{
    renderGlow();
    Game& g = game();
    const Image flame = readImage(g.glowTargets[0]->framebuffer, 200, 150);
    const Image blurred = readImage(g.glowTargets[2]->framebuffer, 200, 150);
    const Image frame = readImage(0, 800, 600);

    ASSERT_GT(flame.litCount(), 20) << "the flame must be in view";
    int peakX = 0, peakY = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            if (flame.brightness(x, y) > flame.brightness(peakX, peakY)) {
                peakX = x;
                peakY = y;
            }
    EXPECT_EQ(flame.at(peakX, peakY)[3], 255) << "the flame is drawn opaque";
    EXPECT_GT(blurred.litCount(), flame.litCount() * 3 / 2) << "the blur spreads the flame";

    int left = peakX;
    while (left > 0 && flame.brightness(left - 1, peakY) > 2)
        --left;
    ASSERT_GE(left, 4);
    EXPECT_LE(flame.brightness(left - 3, peakY), 2);
    EXPECT_GT(blurred.brightness(left - 3, peakY), 2) << "glow reaches past the flame's edge";

    const unsigned char* over = frame.at(4 * peakX + 2, 4 * peakY + 2);
    EXPECT_GT((over[0] + over[1] + over[2]) / 3, 120) << "the glow shows over the frame";
    EXPECT_GE(over[0], over[2]) << "and it is warm";
    EXPECT_EQ(frame.brightness(5, 5), 0) << "far from the flame the frame is untouched";

    // The HUD goes over the glow, although the glow quad has written depth there.
    const glm::vec2 ndc((4.0f * peakX + 2.0f) / 400.0f - 1.0f, (4.0f * peakY + 2.0f) / 300.0f - 1.0f);
    g.farBar->modelMatrix = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(ndc, 0.0f)), glm::vec3(0.05f));
    glViewport(0, 0, 800, 600);
    g.render(RenderPass::Hud);
    const Image withHud = readImage(0, 800, 600);
    const unsigned char* bar = withHud.at(4 * peakX + 2, 4 * peakY + 2);
    EXPECT_GT(bar[1], 150) << "the green bar covers the glow";
    EXPECT_LT(bar[0], 100);
}
