#include "GlSupport.h"

#include "gl/ShaderManager.h"

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

// The source of a program's shader of one type, as the driver holds it.
std::string attachedSource(GLuint program, GLenum type)
{
    GLuint shaders[2] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program, 2, &count, shaders);
    for (GLsizei i = 0; i < count; ++i) {
        GLint shaderType = 0, length = 0;
        glGetShaderiv(shaders[i], GL_SHADER_TYPE, &shaderType);
        glGetShaderiv(shaders[i], GL_SHADER_SOURCE_LENGTH, &length);
        if (static_cast<GLenum>(shaderType) != type || length <= 0)
            continue;
        std::vector<char> text(static_cast<size_t>(length));
        glGetShaderSource(shaders[i], length, nullptr, text.data());
        return text.data();
    }
    return "";
}

const char* const baseNames[5] = {"basicShader", "depthShader", "flameShader", "glowShader", "hudShader"};
constexpr ProgramKind allKinds[] = {ProgramKind::Basic, ProgramKind::Depth, ProgramKind::Flame, ProgramKind::Glow,
                                    ProgramKind::Hud};

} // namespace

using ShaderManagerTest = GlTest;

TEST_F(ShaderManagerTest, EveryKindIsLinkedFromItsOwnFilesOnceForTheWholeProcess)
{
    ShaderManager* manager = ShaderManager::instance();
    EXPECT_EQ(printedBy([] { ShaderManager::instance(); }), "") << "a second call builds nothing";

    for (ProgramKind kind : allKinds) {
        const char* baseName = baseNames[indexOf(kind)];
        SCOPED_TRACE(baseName);
        GLint linked = GL_FALSE;
        glGetProgramiv(manager->program(kind), GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        const std::string base = std::string("Tindral/Shader/") + baseName;
        EXPECT_EQ(attachedSource(manager->program(kind), GL_VERTEX_SHADER), fileText(base + ".vert"));
        EXPECT_EQ(attachedSource(manager->program(kind), GL_FRAGMENT_SHADER), fileText(base + ".frag"));
    }
}

// A program that cannot be built is reported to the caller with the console's text, which
// decides whether the game can start (the black-box tests show it cannot).
TEST_F(ShaderManagerTest, AFailedBuildCarriesItsMessage)
{
    TempFolder folder;
    writeText(folder.path() / "broken.vert", "#version 330 core\nvoid main() { gl_Position = nonsense; }\n");
    writeText(folder.path() / "empty.frag", "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    const std::string missing = (folder.path() / "missing.vert").string();
    const std::string broken = (folder.path() / "broken.vert").string();
    const std::string fragment = (folder.path() / "empty.frag").string();
    try {
        ShaderProgram program(missing, fragment);
        ADD_FAILURE() << "a missing file built";
    } catch (const ShaderBuildError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Failed to open file " + missing);
    }
    try {
        ShaderProgram program(broken, fragment);
        ADD_FAILURE() << "a broken shader built";
    } catch (const ShaderBuildError& failure) {
        const std::string text = failure.what();
        EXPECT_EQ(text.rfind("Failed to compile shader\n", 0), 0u) << text;
        EXPECT_NE(text.find("nonsense"), std::string::npos) << "the driver's log names the fault: " << text;
    }
    EXPECT_EQ(takeGlDebugErrors().size(), 1u) << "the driver reports the compile error, and nothing else";
}

// Reading a FIFO would wait for a writer forever: a shader file that is a FIFO, or a folder,
// cannot be opened, as a missing one cannot, and the FIFO is never opened.
TEST_F(ShaderManagerTest, AShaderFileThatIsNoRegularFileCannotBeOpened)
{
    TempFolder folder;
    writeText(folder.path() / "plain.frag", "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    const std::string fragment = (folder.path() / "plain.frag").string();
    const std::string vertex = (folder.path() / "odd.vert").string();
    const auto failure = [&]() -> std::string {
        try {
            ShaderProgram program(vertex, fragment);
        } catch (const ShaderBuildError& error) {
            return error.what();
        }
        return "built";
    };
    {
        WatchedFifo fifo(vertex);
        EXPECT_EQ(failure(), "Failed to open file " + vertex) << "a FIFO as the shader";
        EXPECT_FALSE(fifo.opened());
    }
    std::filesystem::create_directory(vertex);
    EXPECT_EQ(failure(), "Failed to open file " + vertex) << "a folder as the shader";
}

TEST_F(ShaderManagerTest, RegistersEveryUniformWithTheDriversLocation)
{
    const ShaderManager& manager = *ShaderManager::instance();
    for (ProgramKind kind : allKinds) {
        SCOPED_TRACE(baseNames[indexOf(kind)]);
        for (const auto& [name, location] : manager.uniformLocations[indexOf(kind)])
            EXPECT_EQ(manager.location(kind, name), glGetUniformLocation(manager.program(kind), name.c_str())) << name;
        EXPECT_GE(manager.location(kind, "modelMatrix"), 0) << "every program places its geometry";
    }
    // Every uniform the passes set is one the shaders use ("distance" is only registered).
    for (const auto& [name, location] : manager.uniformLocations[indexOf(ProgramKind::Basic)])
        EXPECT_TRUE(location >= 0 || name == "distance") << name;
    for (const char* name : {"modelMatrix", "projectionMatrix", "viewMatrix", "camPosition", "light"})
        EXPECT_GE(manager.location(ProgramKind::Depth, name), 0) << name;
    EXPECT_GE(manager.location(ProgramKind::Glow, "glowTexture"), 0);
    EXPECT_GE(manager.location(ProgramKind::Hud, "colorFinal"), 0);
    EXPECT_GE(manager.location(ProgramKind::Flame, "lightColor"), 0);
}

TEST_F(ShaderManagerTest, MissingUniformIsMinusOneAndTheTableDoesNotGrow)
{
    ShaderManager& manager = *ShaderManager::instance();
    // "distance" is registered but the lit shader does not use it: setting it does nothing.
    ASSERT_EQ(manager.uniformLocations[indexOf(ProgramKind::Basic)].count("distance"), 1u);
    EXPECT_EQ(manager.location(ProgramKind::Basic, "distance"), -1);
    glUseProgram(manager.program(ProgramKind::Basic));
    glUniform1f(manager.location(ProgramKind::Basic, "distance"), 3.0f);
    glUseProgram(0);

    for (ProgramKind kind : allKinds) {
        const size_t before = manager.uniformLocations[indexOf(kind)].size();
        EXPECT_EQ(manager.location(kind, "neverRegistered"), -1);
        EXPECT_EQ(manager.uniformLocations[indexOf(kind)].size(), before) << "a lookup must not grow the table";
    }
    EXPECT_EQ(manager.location(ProgramKind::Hud, "glowTexture"), -1) << "another program's name is unknown here";
}
