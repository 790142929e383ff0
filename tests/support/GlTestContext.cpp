#include "GlTestContext.h"

#include "HiddenGlWindow.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tolvane::test {

GLFWwindow* GlTestContext::window_ = nullptr;
GlDebugLog GlTestContext::driverMessages_;

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
        window_ = openHiddenGlWindow(1024, 600, "Tolvane tests", true);
    }
    if (window_ == nullptr) {
        std::fprintf(stderr, "could not open a window with a GL 3.3 core context and GLEW (GL tests need a display: "
                             "run them under scripts/with-screen.sh)\n");
        std::exit(1);
    }
    if (!installGlDebugOutput(&driverMessages_))
        std::fprintf(stderr, "this GL context offers no KHR_debug: the driver's messages go unchecked\n");
}

const GlDebugLog& GlTestContext::driverMessages()
{
    return driverMessages_;
}

void DriverMessageCheck::OnTestStart(const ::testing::TestInfo&)
{
    before_ = GlTestContext::driverMessages();
}

void DriverMessageCheck::OnTestEnd(const ::testing::TestInfo&)
{
    const GlDebugLog& now = GlTestContext::driverMessages();
    EXPECT_EQ(now.errors, before_.errors) << "the driver reported errors (the GL debug lines above)";
    EXPECT_EQ(now.highSeverity, before_.highSeverity) << "the driver reported high-severity messages";
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
