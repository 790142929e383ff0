#include "app/GlfwContext.h"

#include "app/ApplicationState.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace tolvane {

GlfwContext& GlfwContext::windowContext()
{
    static GlfwContext context;
    return context;
}

GlContext& activeGlContext()
{
    return glContext != nullptr ? *glContext : GlfwContext::windowContext();
}

bool GlfwContext::makeCurrent(int, int)
{
    if (window == nullptr)
        return false;
    glfwMakeContextCurrent(window);
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
    glfwSwapBuffers(window);
}

bool GlfwContext::hasWindow() const
{
    return window != nullptr;
}

std::string GlfwContext::describe() const
{
    return "a GLFW window";
}

}  // namespace tolvane
