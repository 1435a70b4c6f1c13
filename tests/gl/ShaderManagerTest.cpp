#include "GlSupport.h"

#include "gl/ShaderManager.h"

using ShaderManagerTest = GlTest;

// The programs are built once for the whole process. Every uniform a kind registers is one its
// shaders use ("distance" the lit shader does not), at the driver's location; a name never
// registered for it, another program's included, is -1.
TEST_F(ShaderManagerTest, EveryKindRegistersTheUniformsItsShadersUse)
{
    const ShaderManager& manager = *ShaderManager::instance();
    EXPECT_EQ(printedBy([] { ShaderManager::instance(); }), "") << "a second call builds nothing";
    for (std::size_t k = 0; k < programKindCount; ++k) {
        const auto kind = static_cast<ProgramKind>(k);
        SCOPED_TRACE(k);
        for (const auto& [name, location] : manager.uniformLocations[k]) {
            EXPECT_EQ(manager.location(kind, name), glGetUniformLocation(manager.program(kind), name.c_str())) << name;
            EXPECT_TRUE(location >= 0 || (kind == ProgramKind::Basic && name == "distance")) << name;
        }
        EXPECT_GE(manager.location(kind, "modelMatrix"), 0) << "every program places its geometry";
        EXPECT_EQ(manager.location(kind, "neverRegistered"), -1);
    }
    EXPECT_EQ(manager.location(ProgramKind::Hud, "glowTexture"), -1) << "another program's name is unknown here";
}

// Reading a FIFO would wait for a writer forever: a shader file that is a FIFO, or a folder,
// cannot be opened, as a missing one cannot, and the FIFO is never opened.
TEST_F(ShaderManagerTest, AShaderFileThatIsNoRegularFileCannotBeOpened)
{
    TempFolder folder;
    const std::string vertex = (folder.path() / "odd.vert").string();
    const std::string fragment = (folder.path() / "plain.frag").string();
    writeText(fragment, "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    const auto buildFailure = [&]() -> std::string {
        try {
            ShaderProgram program(vertex, fragment);
        } catch (const ShaderBuildError& error) {
            return error.what();
        }
        return "built";
    };
    EXPECT_EQ(buildFailure(), "Failed to open file " + vertex) << "a missing file";
    {
        WatchedFifo fifo(vertex);
        EXPECT_EQ(buildFailure(), "Failed to open file " + vertex) << "a FIFO";
        EXPECT_FALSE(fifo.opened());
    }
    std::filesystem::create_directory(vertex);
    EXPECT_EQ(buildFailure(), "Failed to open file " + vertex) << "a folder";
}
