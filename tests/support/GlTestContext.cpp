#include "GlTestContext.h"

#include <cstdio>
#include <cstdlib>

namespace tolvane::test {

GLFWwindow* GlTestContext::window_ = nullptr;

void GlTestContext::SetUp()
{
    if (!glfwInit()) {
        std::fprintf(stderr, "GL tests need a display (run them under xvfb-run)\n");
        std::exit(1);
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window_ = glfwCreateWindow(1024, 600, "Tolvane tests", nullptr, nullptr);
    if (window_ == nullptr) {
        std::fprintf(stderr, "could not create a GL 3.3 core context\n");
        std::exit(1);
    }
    glfwMakeContextCurrent(window_);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "glewInit failed\n");
        std::exit(1);
    }
    glGetError();  // GLEW's initialisation may leave an error pending
}

void GlTestContext::TearDown()
{
    glfwDestroyWindow(window_);
    window_ = nullptr;
    glfwTerminate();
}

GLFWwindow* GlTestContext::window()
{
    return window_;
}

void GlTestContext::resize(int width, int height)
{
    glfwSetWindowSize(window_, width, height);
}

}  // namespace tolvane::test
