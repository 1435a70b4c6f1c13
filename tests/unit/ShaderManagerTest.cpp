#include "GlContext.h"

#include "render/RenderPass.h"
#include "render/ShaderManager.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string attachedSource(unsigned int shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_SHADER_SOURCE_LENGTH, &length);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderSource(shader, static_cast<GLsizei>(text.size()), nullptr, text.data());
    return std::string(text.data());
}

const char* const baseNames[5] = {"basicShader", "depthShader", "flameShader", "glowShader", "hudShader"};

} // namespace

using ShaderManagerTest = GlTest;

TEST_F(ShaderManagerTest, OneManagerWithEveryProgramLinkedUnderItsKind)
{
    ShaderManager* manager = ShaderManager::instance();
    testing::internal::CaptureStdout();
    EXPECT_EQ(ShaderManager::instance(), manager);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a second call builds nothing";

    for (int kind = 0; kind < 5; ++kind) {
        SCOPED_TRACE(baseNames[kind]);
        const ShaderProgram& program = *manager->programs[kind];
        EXPECT_EQ(manager->program(kind), program.program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        const std::string base = std::string("Tindral/Shader/") + baseNames[kind];
        EXPECT_EQ(attachedSource(program.vertexShader), fileText(base + ".vert"));
        EXPECT_EQ(attachedSource(program.fragmentShader), fileText(base + ".frag"));

        manager->useProgram(kind);
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(static_cast<unsigned int>(current), program.program);
    }
    // The HUD program is built before the glow program (the driver hands out names in
    // creation order), yet kind 3 is the glow and kind 4 the HUD, as the sources show above.
    EXPECT_LT(manager->program(ProgramKind::Hud), manager->program(ProgramKind::Glow));
    glUseProgram(0);
}

TEST_F(ShaderManagerTest, RegistersEveryUniformWithTheDriversLocation)
{
    const ShaderManager& manager = *ShaderManager::instance();
    const size_t expectedCounts[5] = {21, 5, 4, 6, 3};
    for (int kind = 0; kind < 5; ++kind) {
        SCOPED_TRACE(baseNames[kind]);
        EXPECT_EQ(manager.uniformLocations[kind].size(), expectedCounts[kind]);
        for (const auto& [name, location] : manager.uniformLocations[kind]) {
            EXPECT_EQ(location, glGetUniformLocation(manager.program(kind), name.c_str())) << name;
            EXPECT_EQ(manager.location(kind, name), location) << name;
        }
        EXPECT_GE(manager.location(kind, "modelMatrix"), 0) << "every program places its geometry";
    }
    // Uniforms the passes set and the shaders really use.
    for (const char* name : {"depthMVP", "shadow_texture", "color_texture", "normal_texture", "light",
                             "lightColor", "transparency", "material_ambient", "camPosition"})
        EXPECT_GE(manager.location(ProgramKind::Basic, name), 0) << name;
    EXPECT_GE(manager.location(ProgramKind::Glow, "glowTexture"), 0);
    EXPECT_GE(manager.location(ProgramKind::Glow, "pass"), 0);
    EXPECT_GE(manager.location(ProgramKind::Hud, "colorFinal"), 0);
    EXPECT_GE(manager.location(ProgramKind::Flame, "lightColor"), 0);
}

TEST_F(ShaderManagerTest, NamesTheProgramDoesNotHaveAreMinusOne)
{
    ShaderManager& manager = *ShaderManager::instance();
    // "distance" is registered but nothing sets it, so the lit shader leaves it unused.
    ASSERT_EQ(manager.uniformLocations[ProgramKind::Basic].count("distance"), 1u);
    EXPECT_EQ(manager.location(ProgramKind::Basic, "distance"), -1);
    glUseProgram(manager.program(ProgramKind::Basic));
    glUniform1f(manager.location(ProgramKind::Basic, "distance"), 3.0f); // setting it does nothing
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glUseProgram(0);

    for (int kind = 0; kind < 5; ++kind) {
        const size_t before = manager.uniformLocations[kind].size();
        EXPECT_EQ(manager.location(kind, "neverRegistered"), -1);
        EXPECT_EQ(manager.location(kind, std::string("colorFinalX")), -1);
        EXPECT_EQ(manager.uniformLocations[kind].size(), before) << "a lookup must not grow the table";
    }
    // A name registered for one kind is unknown to another.
    EXPECT_EQ(manager.location(ProgramKind::Hud, "glowTexture"), -1);
}
