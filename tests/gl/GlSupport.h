#pragma once
// What the GL tests share: one hidden GL 3.3 core window per test process (run under Xvfb when
// there is no display), GL queries, pixel read-back, scratch models, and a game drawn by the
// real frame renderer.
#include <GL/glew.h>

#include "TestSupport.h"
#include "gl/ShaderManager.h"
#include "render/FrameRenderer.h"

#include <GLFW/glfw3.h>
#include <string>
#include <utility>
#include <vector>

// The driver's error messages (KHR_debug) since they were last taken.
inline std::vector<std::string> glDebugErrors;

inline void GLAPIENTRY recordGlDebugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message,
                                            const void*)
{
    if (type == GL_DEBUG_TYPE_ERROR)
        glDebugErrors.push_back(message);
}

// The errors reported so far, which are then forgotten; for a test that provokes one.
inline std::vector<std::string> takeGlDebugErrors()
{
    return std::exchange(glDebugErrors, {});
}

// A debug context: the driver reports every GL error as it happens, with its reason.
inline GLFWwindow* testGlWindow()
{
    static GLFWwindow* window = [] {
        if (!glfwInit())
            return static_cast<GLFWwindow*>(nullptr);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        GLFWwindow* w = glfwCreateWindow(800, 600, "Tindral test", nullptr, nullptr);
        if (w) {
            glfwMakeContextCurrent(w);
            glewExperimental = GL_TRUE;
            glewInit();
            glGetError(); // GLEW may leave an enum error behind on core profiles
            if (GLEW_KHR_debug) {
                glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
                glDebugMessageCallback(recordGlDebugMessage, nullptr);
            }
        }
        return w;
    }();
    return window;
}

// Every GL test ends without a GL error, and without a message of the driver about one.
inline void expectNoGlErrors()
{
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (const std::string& message : takeGlDebugErrors())
        ADD_FAILURE() << "GL error: " << message;
}

// Fails the test, with the reason, when there is no GL 3.3 context to test in. A fixture's
// SetUp that goes on after it must first check HasFatalFailure(): a GL call without a context
// would crash the whole test program.
inline void requireGlContext()
{
    ASSERT_NE(testGlWindow(), nullptr) << "no GL 3.3 context (is DISPLAY set, and does its server accept us?)";
}

class GlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        requireGlContext();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(GLEW_KHR_debug) << "the driver reports no GL errors by message";
    }
    void TearDown() override
    {
        if (testGlWindow())
            expectNoGlErrors();
    }
};

inline GLint glInteger(GLenum what)
{
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

// A parameter of a 2D texture, or of its level 0 with `ofLevel0`.
inline GLint textureParameter(GLuint texture, GLenum parameter, bool ofLevel0 = false)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (ofLevel0)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// The RGBA pixels of a framebuffer, rows bottom to top as GL reads them.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    const unsigned char* at(int x, int y) const { return &rgba[4 * (static_cast<size_t>(y) * width + x)]; }
    int brightness(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
    int litCount() const
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += brightness(x, y) > 2;
        return count;
    }
};

inline Image readImage(GLuint framebuffer, int width, int height)
{
    Image image{width, height, std::vector<unsigned char>(4 * static_cast<size_t>(width) * height)};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return image;
}

// Writes "Tindral/3DModels/<name>.obj" under root, with the game's stone textures beside it
// (copied from the run folder, every test's working directory).
inline void writeModel(const std::filesystem::path& root, const std::string& name, const std::string& obj)
{
    const std::string base = (root / "Tindral" / "3DModels" / name).string();
    writeText(base + ".obj", obj);
    std::filesystem::copy_file("Tindral/3DModels/cube/cube_diff.jpg", base + "_diff.jpg");
    std::filesystem::copy_file("Tindral/3DModels/cube/cube_norm.jpg", base + "_norm.jpg");
}

// A game with the models, textures and shaders of the run folder, and a renderer for a window
// of the test context's size.
class GlGameTest : public GameTest {
protected:
    void SetUp() override
    {
        requireGlContext();
        if (HasFatalFailure())
            return;
        newRenderer(800, 600);
        GameTest::SetUp();
    }

    void TearDown() override
    {
        GameTest::TearDown();
        if (!testGlWindow())
            return;
        renderer.reset();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glViewport(0, 0, 800, 600);
        glUseProgram(0);
        expectNoGlErrors();
    }

    // One frame as the frame loop runs it, `step` seconds of game time: the game moves, the
    // debug views follow its keys, the frame is drawn and reported.
    void loopFrame(double step = gameStep)
    {
        printedBy([&] {
            renderer->setFixedState();
            renderer->clearFrame();
            game->update(step);
            drawnFrame();
            game->printDebugReport(1.0f / 60.0f);
        });
    }

    // The frame as it stands, drawn without moving the game; its pixels read back.
    Image drawnFrame()
    {
        renderer->setFixedState();
        renderer->clearFrame();
        renderer->applyDebugViews(game->wireframe(), game->takeSamplingChanges());
        game->setObjectsDrawn(renderer->renderFrame(*game));
        const glm::ivec2 size = renderer->size();
        return readImage(0, size.x, size.y);
    }

    void newRenderer(int width, int height)
    {
        renderer.reset();
        printedBy([&] { renderer = std::make_unique<FrameRenderer>(width, height); });
    }

    std::unique_ptr<FrameRenderer> renderer;
};
