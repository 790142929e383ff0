#include "GlTestContext.h"

#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace tolvane::test {

GLFWwindow* GlTestContext::window_ = nullptr;

namespace {

void printGlfwError(int code, const char* description)
{
    std::fprintf(stderr, "GLFW error 0x%x: %s\n", code, description);
}

// One attempt at a display connection and a hidden GL 3.3 core window.
GLFWwindow* openHiddenWindow()
{
    if (!glfwInit())
        return nullptr;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(1024, 600, "Tolvane tests", nullptr, nullptr);
    if (window == nullptr)
        glfwTerminate();
    return window;
}

}  // namespace

void GlTestContext::SetUp()
{
    glfwSetErrorCallback(printGlfwError);
    // Many test processes start and stop against one virtual screen; a
    // rare refused connection under load is worth a second try, while a
    // missing display fails every attempt and is reported.
    for (int attempt = 0; attempt < 3 && window_ == nullptr; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        window_ = openHiddenWindow();
    }
    if (window_ == nullptr) {
        std::fprintf(stderr, "could not open a window with a GL 3.3 core context (GL tests need a display: "
                             "run them under scripts/with-screen.sh)\n");
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
