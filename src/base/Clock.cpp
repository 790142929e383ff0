#include "base/Clock.h"

#include <GLFW/glfw3.h>

namespace tolvane {

TimeSource timeSource = glfwGetTime;

double currentTime()
{
    return timeSource();
}

}  // namespace tolvane
