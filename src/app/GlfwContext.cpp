#include "app/GlfwContext.h"

#include "app/DemoState.h"
#include "base/GlewLoader.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace tolvane {

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
