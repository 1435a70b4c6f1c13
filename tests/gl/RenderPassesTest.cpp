#include "GlSupport.h"

#include "render/CameraView.h"

#include "render/gl/RenderPass.h"
#include "render/gl/RenderTarget.h"
#include "render/gl/ShaderManager.h"
#include "scene/Bar.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/PlaneAndPropeller.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

// What a stand-in object saw when a pass asked it to draw.
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

void recordDraw(const std::string& who, int pass, bool useTransparency = false)
{
    const GLint active = glInteger(GL_ACTIVE_TEXTURE);
    glActiveTexture(GL_TEXTURE0);
    const GLint texture = glInteger(GL_TEXTURE_BINDING_2D);
    glActiveTexture(static_cast<GLenum>(active));
    drawCalls.push_back({who, pass, glInteger(GL_CURRENT_PROGRAM), glInteger(GL_DRAW_FRAMEBUFFER_BINDING), texture,
                         glIsEnabled(GL_CULL_FACE) == GL_TRUE, useTransparency});
}

// A level object without a model that notes every draw call.
template <class Base>
struct Recording : Base {
    template <class... Args>
    explicit Recording(std::string name, Args... args) : Base(args..., ModelSource::Detached), name(std::move(name))
    {
    }
    void draw(int pass) override { recordDraw(name, pass); }
    std::string name;
};

struct RecordingInvisCube : CubeInvis {
    RecordingInvisCube(std::string name, glm::vec3 p) : CubeInvis(Cube(p, ModelSource::Detached)), name(std::move(name))
    {
    }
    void draw(int pass) override { recordDraw(name + " (plain draw)", pass); }
    void drawTransparent(int pass, bool useTransparency) override { recordDraw(name, pass, useTransparency); }
    std::string name;
};

template <class Value>
Value uniform(int kind, const char* name)
{
    const ShaderManager& shaders = *ShaderManager::instance();
    Value value{};
    if constexpr (std::is_same_v<Value, GLint>)
        glGetUniformiv(shaders.program(kind), shaders.location(kind, name), &value);
    else
        glGetUniformfv(shaders.program(kind), shaders.location(kind, name), glm::value_ptr(value));
    return value;
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-4f * std::max(1.0f, std::fabs(expected[c][r])))
                << "element [" << c << "][" << r << "]";
}

std::vector<std::string> withBars(std::vector<std::string> names, int lifeBars)
{
    names.insert(names.end(), {"far bar", "near bar"});
    for (int i = 0; i < lifeBars; ++i)
        names.push_back("life " + std::to_string(i));
    return names;
}

// The level replaced by stand-ins. The flame is at z = 0: only cubes strictly between
// z = -8 and z = 2 are within its reach.
class RenderPassesTest : public GlGameTest {
protected:
    void SetUp() override
    {
        GlGameTest::SetUp();
        Game& g = *game;
        g.hero = std::make_unique<Recording<Hero>>("hero", glm::vec3(2.0f, 1.0f, -5.0f));
        g.hero->lives = 3;
        g.flame = std::make_unique<Recording<Flame>>("flame", glm::vec3(2.0f, 1.05f, 0.0f));
        g.propeller = std::make_unique<Recording<Propeller>>("propeller", glm::vec3(0.0f));
        g.plane = std::make_unique<Recording<Plane>>("plane", glm::vec3(0.0f));
        g.farBar = std::make_unique<Recording<Bar>>("far bar", glm::vec3(0.0f), glm::vec3(1.0f));
        g.nearBar = std::make_unique<Recording<Bar>>("near bar", glm::vec3(0.0f), glm::vec3(1.0f));
        g.lifeBars.clear();
        for (int i = 0; i < 6; ++i)
            g.lifeBars.push_back(std::make_unique<Recording<Bar>>("life " + std::to_string(i), glm::vec3(0.0f),
                                                                  glm::vec3(1.0f)));
        g.cubes.clear();
        for (const char* z : {"-8", "-7.9", "1.99", "2", "-3", "0"})
            g.cubes.push_back(std::make_unique<Recording<Cube>>(std::string("cube ") + z,
                                                                glm::vec3(1.0f, 1.0f, std::stof(z))));
        g.cubes[4]->broken = true;
        g.invisCubes.clear();
        for (const char* z : {"-8", "-1", "-2", "1.5"})
            g.invisCubes.push_back(
                std::make_unique<RecordingInvisCube>(std::string("invis ") + z, glm::vec3(3.0f, 1.0f, std::stof(z))));
        g.invisCubes[2]->broken = true;
    }
    void TearDown() override
    {
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 800, 600);
        GlGameTest::TearDown();
    }

    std::vector<std::string> drawnIn(int pass)
    {
        drawCalls.clear();
        renderer->render(*game, pass);
        EXPECT_EQ(glInteger(GL_DRAW_FRAMEBUFFER_BINDING), 0) << "every pass ends on the window";
        std::vector<std::string> names;
        for (const DrawCall& call : drawCalls) {
            EXPECT_EQ(call.pass, pass) << call.who;
            names.push_back(call.who);
        }
        return names;
    }
};

} // namespace

TEST_F(RenderPassesTest, ZWindowFilterAtItsEdgesSwitchesAndLifeBarsDecideWhatIsDrawn)
{
    const std::vector<std::string> level = {"hero", "cube -7.9", "cube 1.99", "cube 0", "flame", "propeller", "plane"};
    for (int pass : {int(RenderPass::Shadow), int(RenderPass::FlameGlow), int(RenderPass::Hud)}) {
        SCOPED_TRACE(pass);
        EXPECT_EQ(drawnIn(pass), withBars(level, 3));
        EXPECT_EQ(game->objectsDrawn, 7) << "bars are not counted";
    }
    // The main pass draws the opaque cubes nearest the eye first; the chase camera stands
    // above z = 0 on the level's right, so the cube at z = 0 is nearest and -7.9 farthest.
    EXPECT_EQ(drawnIn(RenderPass::Main),
              withBars({"hero", "cube 0", "cube 1.99", "cube -7.9", "flame", "propeller", "plane"}, 3));
    EXPECT_EQ(game->objectsDrawn, 7);
    std::vector<std::string> glow = {"plane", "plane"}; // the two blur steps come first, uncounted
    glow.insert(glow.end(), level.begin(), level.end());
    EXPECT_EQ(drawnIn(RenderPass::Glow), withBars(glow, 3));
    EXPECT_EQ(game->objectsDrawn, 7);

    EXPECT_EQ(drawnIn(RenderPass::Transparent), withBars({"invis -1", "invis 1.5"}, 3));
    EXPECT_EQ(game->objectsDrawn, 2);
    EXPECT_TRUE(drawCalls[0].useTransparency && drawCalls[1].useTransparency);

    // F8 and F9 off: every cube but the broken ones, no fading; one bar per life, six at most.
    debugSwitches().viewFrustumCulling = false;
    debugSwitches().invisTransparency = false;
    game->hero->lives = 9;
    EXPECT_EQ(drawnIn(RenderPass::Shadow), withBars({"hero", "cube -8", "cube -7.9", "cube 1.99", "cube 2", "cube 0",
                                                     "flame", "propeller", "plane"},
                                                    6));
    EXPECT_EQ(game->objectsDrawn, 9);
    game->hero->lives = 0;
    EXPECT_EQ(drawnIn(RenderPass::Transparent), withBars({"invis -8", "invis -1", "invis 1.5"}, 0));
    for (const DrawCall& call : drawCalls)
        EXPECT_FALSE(call.useTransparency) << call.who;
}

TEST_F(RenderPassesTest, EachPassDrawsWithItsProgramIntoItsTarget)
{
    const ShaderManager& shaders = *ShaderManager::instance();
    const struct {
        int pass;
        int kind;
        GLuint framebuffer;
    } expected[] = {
        {RenderPass::Shadow, ProgramKind::Depth, renderer->shadowTarget().framebuffer},
        {RenderPass::Main, ProgramKind::Basic, 0},
        {RenderPass::Transparent, ProgramKind::Basic, 0},
        {RenderPass::FlameGlow, ProgramKind::Flame, renderer->glowTarget(0).framebuffer},
        {RenderPass::Hud, ProgramKind::Hud, 0},
    };
    glEnable(GL_CULL_FACE);
    for (const auto& e : expected) {
        SCOPED_TRACE(e.pass);
        ASSERT_FALSE(drawnIn(e.pass).empty());
        for (const DrawCall& call : drawCalls) {
            EXPECT_EQ(call.program, static_cast<GLint>(shaders.program(e.kind))) << call.who;
            EXPECT_EQ(call.framebuffer, static_cast<GLint>(e.framebuffer)) << call.who;
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
    const GLuint sources[] = {renderer->glowTarget(0).colorTexture, renderer->glowTarget(1).colorTexture,
                              renderer->glowTarget(2).colorTexture};
    const GLuint targets[] = {renderer->glowTarget(1).framebuffer, renderer->glowTarget(2).framebuffer, 0};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(quads[i].program, static_cast<GLint>(shaders.program(ProgramKind::Glow)));
        EXPECT_EQ(quads[i].textureOnUnit0, static_cast<GLint>(sources[i]));
        EXPECT_EQ(quads[i].framebuffer, static_cast<GLint>(targets[i]));
        EXPECT_FALSE(quads[i].culling);
    }
}

TEST_F(RenderPassesTest, ShadowAndLitPassesSeeFromTheLightAndTheChaseCamera)
{
    Game& g = *game;
    const glm::vec3 hero = g.hero->position;
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const glm::mat4 lightProjection = glm::perspective(glm::radians(160.0f), 800.0f / 600.0f, 0.01f, 10.0f);
    const glm::mat4 bias(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f);
    const glm::mat4 lightView = glm::lookAt(g.flame->position, hero, up);

    renderer->render(g, RenderPass::Shadow);
    expectMatrixNear(uniform<glm::mat4>(ProgramKind::Depth, "viewMatrix"), lightProjection * lightView);
    EXPECT_EQ(uniform<glm::vec3>(ProgramKind::Depth, "camPosition"), g.flame->position);

    Camera camera = *g.camera;
    const glm::mat4 chaseView = computeView(camera, hero, g.flame->position);
    renderer->render(g, RenderPass::Main);
    expectMatrixNear(uniform<glm::mat4>(ProgramKind::Basic, "depthMVP"), bias * lightProjection * lightView);
    expectMatrixNear(uniform<glm::mat4>(ProgramKind::Basic, "projectionMatrix"), renderer->projectionMatrix());
    expectMatrixNear(uniform<glm::mat4>(ProgramKind::Basic, "viewMatrix"), chaseView);
    EXPECT_EQ(uniform<glm::vec3>(ProgramKind::Basic, "camPosition"), camera.eye);
    EXPECT_EQ(uniform<GLint>(ProgramKind::Basic, "shadow_texture"), 2);
    glActiveTexture(GL_TEXTURE2);
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(renderer->shadowTarget().depthTexture));
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    renderer->render(g, RenderPass::FlameGlow);
    expectMatrixNear(uniform<glm::mat4>(ProgramKind::Flame, "viewMatrix"), chaseView);

    // Paused: the hand-steered light point replaces the flame, and a frozen camera keeps its eye.
    g.paused = true;
    g.flame->lightPosition = glm::vec3(0.5f, 3.0f, -1.0f);
    g.camera->frozen = true;
    g.camera->savedEye = glm::vec3(7.0f, 8.0f, 9.0f);
    renderer->render(g, RenderPass::Shadow);
    EXPECT_EQ(uniform<glm::vec3>(ProgramKind::Depth, "camPosition"), g.flame->lightPosition);
    renderer->render(g, RenderPass::Transparent);
    expectMatrixNear(uniform<glm::mat4>(ProgramKind::Basic, "depthMVP"),
                     bias * lightProjection * glm::lookAt(g.flame->lightPosition, hero, up));
    EXPECT_EQ(uniform<glm::vec3>(ProgramKind::Basic, "camPosition"), glm::vec3(7.0f, 8.0f, 9.0f));

    // A light straight above the hero still gives a usable view, with the hero in its middle.
    g.paused = false;
    g.flame->position = hero + glm::vec3(0.0f, 1.0f, 0.0f);
    renderer->render(g, RenderPass::Shadow);
    const glm::vec4 clip = uniform<glm::mat4>(ProgramKind::Depth, "viewMatrix") * glm::vec4(hero, 1.0f);
    EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-4f);
    EXPECT_NEAR(clip.y / clip.w, 0.0f, 1e-4f);
}

using GlowPipelineTest = GlGameTest;

// The real flame, glow quad and bar, drawn by the passes as the frame loop runs them.
TEST_F(GlowPipelineTest, TheFlameGlowsAtQuarterSizeOverTheFrameAndTheHudCoversIt)
{
    Game& g = *game;
    g.flame->modelMatrix = glm::translate(glm::mat4(1.0f), g.flame->position);
    // A camera parked behind the flame, looking past it towards the hero.
    g.camera->frozen = true;
    g.camera->savedEye = g.flame->position + glm::vec3(0.0f, 0.3f, 2.0f);
    g.nearBar.reset();
    g.hero->lives = 0; // only the far bar is drawn in the HUD pass
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, 200, 150);
    renderer->render(g, RenderPass::FlameGlow);
    renderer->render(g, RenderPass::Glow);

    const Image flame = readImage(renderer->glowTarget(0).framebuffer, 200, 150);
    const Image blurred = readImage(renderer->glowTarget(2).framebuffer, 200, 150);
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
    EXPECT_GT(blurred.brightness(left - 3, peakY), 2) << "the glow reaches past the flame's edge";

    const unsigned char* over = frame.at(4 * peakX + 2, 4 * peakY + 2);
    EXPECT_GT((over[0] + over[1] + over[2]) / 3, 100) << "the glow shows over the frame";
    EXPECT_GE(over[0], over[2]) << "and it is warm";
    EXPECT_EQ(frame.brightness(5, 5), 0) << "far from the flame the frame is untouched";

    // The HUD goes over the glow, although the glow quad has written depth there.
    const glm::vec2 ndc((4.0f * peakX + 2.0f) / 400.0f - 1.0f, (4.0f * peakY + 2.0f) / 300.0f - 1.0f);
    g.farBar->modelMatrix = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(ndc, 0.0f)), glm::vec3(0.05f));
    g.farBar->color = g.farBar->neutralColor = glm::vec3(0.0f, 1.0f, 0.0f);
    glViewport(0, 0, 800, 600);
    renderer->render(g, RenderPass::Hud);
    const Image withBar = readImage(0, 800, 600);
    const unsigned char* bar = withBar.at(4 * peakX + 2, 4 * peakY + 2);
    EXPECT_GT(bar[1], 150) << "the green bar covers the glow";
    EXPECT_LT(bar[0], 100);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

// The blur and the overlay are confined to the area around the flame's picture; the area must
// hold all of the glow, with black to spare at its edges.
TEST_F(GlowPipelineTest, TheGlowIsConfinedToAnAreaThatHoldsAllOfIt)
{
    Game& g = *game;
    const glm::vec3 offsets[] = {{0.0f, 0.3f, 2.0f}, {1.5f, 0.8f, 3.0f}, {-0.6f, 0.1f, 1.2f}};
    for (const glm::vec3& offset : offsets) {
        SCOPED_TRACE(offset.x);
        g.flame->modelMatrix = glm::translate(glm::mat4(1.0f), g.flame->position);
        g.camera->frozen = true;
        g.camera->savedEye = g.flame->position + offset;
        glViewport(0, 0, 200, 150);
        renderer->render(g, RenderPass::FlameGlow);
        renderer->render(g, RenderPass::Glow);
        ASSERT_TRUE(renderer->glowArea()) << "the flame lies ahead of the eye";
        const PixelRect area = *renderer->glowArea();
        ASSERT_GT(area.width, 0);

        const Image flame = readImage(renderer->glowTarget(0).framebuffer, 200, 150);
        const Image blurred = readImage(renderer->glowTarget(2).framebuffer, 200, 150);
        ASSERT_GT(flame.litCount(), 20);
        int litOutside = 0, litOnEdge = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
                const bool edge = inside && (x == area.x || x == area.x + area.width - 1 || y == area.y ||
                                             y == area.y + area.height - 1);
                litOutside += !inside && flame.brightness(x, y) > 0;
                // Only an edge inside the image counts: the image's own border cuts every glow.
                litOnEdge += edge && x > 0 && x < 199 && y > 0 && y < 149 && blurred.brightness(x, y) > 0;
            }
        EXPECT_EQ(litOutside, 0) << "the flame was drawn outside its area";
        EXPECT_EQ(litOnEdge, 0) << "the blur reached the area's edge: it was cut off";
    }
    glViewport(0, 0, 800, 600);
}
