#pragma once
// A real GL 3.3 core context for tests that touch GL: one hidden window per test process.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

inline GLFWwindow* testGlWindow()
{
    static GLFWwindow* window = [] {
        if (!glfwInit())
            return static_cast<GLFWwindow*>(nullptr);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        GLFWwindow* w = glfwCreateWindow(800, 600, "Tindral test", nullptr, nullptr);
        if (w) {
            glfwMakeContextCurrent(w);
            glewExperimental = GL_TRUE;
            glewInit();
            glGetError(); // GLEW may leave an enum error behind on core profiles
        }
        return w;
    }();
    return window;
}

// Fixture for tests that need a current GL context (run under Xvfb when there is no display).
class GlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(testGlWindow(), nullptr) << "no GL 3.3 context (is DISPLAY set?)"; }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }
};
