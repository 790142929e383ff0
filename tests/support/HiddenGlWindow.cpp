#include "HiddenGlWindow.h"

#include "app/GlfwContext.h"
#include "base/GlewLoader.h"

namespace tolvane::test {

GLFWwindow* openHiddenGlWindow(int width, int height, const char* title, bool debug)
{
    // The demo's choice of window system, so that the tests meet the one it
    // meets (and no probe prints before their output).
    chooseWindowSystem();
    if (!glfwInit())
        return nullptr;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, debug ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, title, nullptr, nullptr);
    if (window != nullptr) {
        glfwMakeContextCurrent(window);
        glfwSwapInterval(0);  // timings and tests never wait for a display refresh
        if (loadGlewEntryPoints()) {
            glGetError();  // GLEW's initialisation may leave an error pending
            return window;
        }
        glfwDestroyWindow(window);
    }
    glfwTerminate();
    return nullptr;
}

}  // namespace tolvane::test
