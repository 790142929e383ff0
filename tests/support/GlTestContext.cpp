#include "GlTestContext.h"

#include "HiddenGlWindow.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tolvane::test {

GLFWwindow* GlTestContext::window_ = nullptr;

namespace {

void printGlfwError(int code, const char* description)
{
    std::fprintf(stderr, "GLFW error 0x%x: %s\n", code, description);
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
        window_ = openHiddenGlWindow(1024, 600, "Tolvane tests");
    }
    if (window_ == nullptr) {
        std::fprintf(stderr, "could not open a window with a GL 3.3 core context and GLEW (GL tests need a display: "
                             "run them under scripts/with-screen.sh)\n");
        std::exit(1);
    }
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
