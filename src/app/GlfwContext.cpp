#include "app/GlfwContext.h"

#include "app/DemoState.h"

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
    glewExperimental = GL_TRUE;
    return glewInit() == GLEW_OK;
}

GlContext::Function GlfwContext::procAddress(const char* name) const
{
    return glfwGetProcAddress(name);
}

void GlfwContext::present()
{
    glfwSwapBuffers(demo.window);
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
