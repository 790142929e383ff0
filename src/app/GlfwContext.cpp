#include "app/GlfwContext.h"

#include "app/DemoState.h"
#include "base/GlewLoader.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>

namespace tolvane {

// GLFW 3.4 tries Wayland first; without a Wayland session that probe only
// prints libwayland's complaint about XDG_RUNTIME_DIR before X11 is tried.
void chooseWindowSystem()
{
#ifdef GLFW_PLATFORM
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    const bool hasWayland = wayland != nullptr && *wayland != '\0';
    const bool hasX11 = x11 != nullptr && *x11 != '\0';
    if (!hasWayland && hasX11 && glfwPlatformSupported(GLFW_PLATFORM_X11) == GLFW_TRUE)
        glfwInitHint(GLFW_PLATFORM, GLFW_PLATFORM_X11);
#endif
}

bool onWayland()
{
#ifdef GLFW_PLATFORM
    return glfwGetPlatform() == GLFW_PLATFORM_WAYLAND;
#else
    return false;
#endif
}

GlContext& activeGlContext()
{
    return demo.glContext != nullptr ? *demo.glContext : demo.windowContext;
}

bool GlfwContext::makeCurrent(int, int)
{
    if (demo.window == nullptr)
        return false;
    glfwMakeContextCurrent(demo.window);
    return true;
}

bool GlfwContext::loadEntryPoints()
{
    return loadGlewEntryPoints();
}

GlContext::Function GlfwContext::procAddress(const char* name) const
{
    return glfwGetProcAddress(name);
}

void GlfwContext::present()
{
    glfwSwapBuffers(demo.window);
    pacer.wait();
}

void GlfwContext::paceSwapsTo(double periodSeconds)
{
    glfwSwapInterval(periodSeconds > 0.0 ? 0 : 1);
    pacer = FramePacer(periodSeconds);
}

bool GlfwContext::framebufferSize(int& width, int& height) const
{
    if (demo.window == nullptr || demo.glContext != nullptr)
        return false;
    glfwGetFramebufferSize(demo.window, &width, &height);
    return true;
}

bool GlfwContext::hasWindow() const
{
    return demo.window != nullptr;
}

std::string GlfwContext::describe() const
{
    return "a GLFW window";
}

}  // namespace tolvane
